# Robustness tests of the native build: every fuzz corpus replayed through
# its target, and the console report end to end against faults.
get_filename_component(keldo_robust_root "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
include(${keldo_robust_root}/fuzz/targets.cmake)
foreach(name IN LISTS KELDO_FUZZ_TARGETS)
  keldo_add_fuzz_target(${name} _replay ${KELDO_FUZZ_DIR}/replay_main.cpp)
  add_test(NAME fuzz_replay.${name} COMMAND ${name}_replay ${KELDO_FUZZ_DIR}/corpus/${name})
  set_tests_properties(fuzz_replay.${name} PROPERTIES LABELS fuzz-replay)
endforeach()

# The console report with its website given on the command line, so that
# one build can be pointed at each fault of the stand-in website.
add_executable(keldo-check-report-at ${CMAKE_CURRENT_LIST_DIR}/report_at_main.cpp)
target_link_libraries(keldo-check-report-at PRIVATE keldo_report keldo_platform_linux)

add_executable(keldo_robust_tests
  ${CMAKE_CURRENT_LIST_DIR}/child_run.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tree_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/report_faults_test.cpp
)
target_include_directories(keldo_robust_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(keldo_robust_tests PRIVATE
  KELDO_REPORT_AT_EXE="$<TARGET_FILE:keldo-check-report-at>")
find_package(nlohmann_json REQUIRED)
target_link_libraries(keldo_robust_tests PRIVATE keldo_test_servers nlohmann_json::nlohmann_json GTest::gtest GTest::gtest_main)
add_dependencies(keldo_robust_tests keldo-check-report-at)
# Whole runs of the report, some waiting out a shipped time-out: started
# before the quick tests, which fill in beside them.
gtest_discover_tests(keldo_robust_tests DISCOVERY_MODE PRE_TEST NO_PRETTY_VALUES
                     PROPERTIES LABELS robust COST 100)

# The re-mapping against a real SMB server on loopback (smbd, gvfs, the
# desktop keyring): whole runs of the report. Skipped (77) without root or
# port 445; one at a time, as they share the port.
add_test(NAME smb_reconnect
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/smb_reconnect_test.sh $<TARGET_FILE:keldo-check-report-at>)
set_tests_properties(smb_reconnect PROPERTIES LABELS robust SKIP_RETURN_CODE 77 RESOURCE_LOCK smb_port_445
                     TIMEOUT 600 COST 100)

# One call failing at a time, each in turn (tools/torture): the sample.
add_subdirectory(${keldo_robust_root}/tools/torture ${CMAKE_BINARY_DIR}/tools/torture)
add_dependencies(keldo_fail_nth keldo-check-report-at keldo-standin-website)
