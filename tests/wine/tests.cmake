# Programs for the Wine suite (run-wine-suite.sh) and the Wine platform tests
# (run-platform-tests.sh), which run them in prefixes they prepare: the
# end-to-end driver of the window, the helper that trusts the test CA inside
# one prefix, and the tests of the platform layer that need that trust or
# drives of every type.
enable_language(RC)
set(wine_tests_dir ${CMAKE_CURRENT_LIST_DIR})
set(wine_tests_out ${CMAKE_CURRENT_BINARY_DIR}/wine)

function(keldo_wine_program target)
  add_executable(${target} ${ARGN})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${wine_tests_out})
  target_include_directories(${target} PRIVATE ${wine_tests_dir} ${CMAKE_CURRENT_SOURCE_DIR})
endfunction()

# The wide entry point, wmain, for the two programs that take paths.
function(keldo_wine_wide_main target)
  target_compile_options(${target} PRIVATE -municode)
  target_link_options(${target} PRIVATE -municode)
endfunction()

keldo_wine_program(keldo_trust_test_ca ${wine_tests_dir}/trust_test_ca.cpp)
keldo_wine_wide_main(keldo_trust_test_ca)
target_link_libraries(keldo_trust_test_ca PRIVATE keldo_windows_platform crypt32)

keldo_wine_program(keldo_window_driver
  ${wine_tests_dir}/driver/driver_main.cpp
  ${wine_tests_dir}/driver/answer_probe.cpp
  ${wine_tests_dir}/driver/check_log.cpp
  ${wine_tests_dir}/driver/findings_copy.cpp
  ${wine_tests_dir}/driver/font_reference.cpp
  ${wine_tests_dir}/driver/layout_checks.cpp
  ${wine_tests_dir}/driver/product_settings.cpp
  ${wine_tests_dir}/driver/program_start.cpp
  ${wine_tests_dir}/driver/scale_checks.cpp
  ${wine_tests_dir}/driver/scenarios.cpp
  ${wine_tests_dir}/driver/screenshot_request.cpp
  ${wine_tests_dir}/driver/stall_checks.cpp
  ${wine_tests_dir}/driver/window_probe.cpp
  ${wine_tests_dir}/driver/driver.rc
)
set_source_files_properties(${wine_tests_dir}/driver/driver.rc PROPERTIES
  OBJECT_DEPENDS ${wine_tests_dir}/driver/driver.manifest)
keldo_wine_wide_main(keldo_window_driver)
target_link_libraries(keldo_window_driver PRIVATE keldo_windows_window keldo_sample_installation user32
                      gdi32)

keldo_wine_program(keldo_access_probe ${wine_tests_dir}/access_probe.cpp ${wine_tests_dir}/driver/check_log.cpp
  ${wine_tests_dir}/driver/program_start.cpp
  ${wine_tests_dir}/driver/screenshot_request.cpp ${wine_tests_dir}/driver/window_probe.cpp)
keldo_wine_wide_main(keldo_access_probe)
target_link_libraries(keldo_access_probe PRIVATE keldo_windows_window oleacc ole32 oleaut32 uuid)

keldo_wine_program(keldo_wine_platform_tests
  ${wine_tests_dir}/platform/web_client_test.cpp
  ${wine_tests_dir}/platform/drive_types_test.cpp
  ${wine_tests_dir}/platform/hive_cases_test.cpp
  ${wine_tests_dir}/platform/ansi_best_fit_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/windows/platform_fixture.cpp
)
target_link_libraries(keldo_wine_platform_tests PRIVATE keldo_windows_platform keldo_standin_fault_names
                      keldo_sample_installation psapi GTest::gtest GTest::gtest_main)

# Under ctest (label wine): the platform tests above, then the suite, with
# the stand-in website of the native build. Both serve the website on the
# build's port and lay out the build's programs in their prefixes, which the
# release checks sign: one at a time, after the release checks.
get_filename_component(wine_tests_root "${wine_tests_dir}/../.." ABSOLUTE)
set(KELDO_STANDIN_WEBSITE ${wine_tests_root}/build/linux/tools/standin-website/keldo-standin-website
    CACHE FILEPATH "The stand-in website of the native build, for the Wine tests")
add_test(NAME wine_platform
         COMMAND bash ${wine_tests_dir}/run-platform-tests.sh ${CMAKE_BINARY_DIR} ${KELDO_STANDIN_WEBSITE})
add_test(NAME wine_suite
         COMMAND bash ${wine_tests_dir}/run-wine-suite.sh ${CMAKE_BINARY_DIR} ${KELDO_STANDIN_WEBSITE})
set_tests_properties(wine_platform wine_suite PROPERTIES
  LABELS wine RESOURCE_LOCK keldo_windows_programs DEPENDS release_checks TIMEOUT 3600)

# The window program with one allocation failing at a time, a sample of
# them (tools/torture/windows): its own prefix and a stand-in website on a
# free port, beside the suite.
add_subdirectory(${wine_tests_root}/tools/torture/windows ${CMAKE_BINARY_DIR}/tools/torture/windows)
add_test(NAME wine_alloc_sweep
         COMMAND bash ${wine_tests_root}/tools/torture/windows/alloc-sweep.sh ${CMAKE_BINARY_DIR}
                 ${KELDO_STANDIN_WEBSITE})
set_tests_properties(wine_alloc_sweep PROPERTIES
  LABELS wine RESOURCE_LOCK keldo_windows_programs DEPENDS release_checks TIMEOUT 600)
