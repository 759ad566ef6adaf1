# The fuzz targets, shared by the fuzz build (linked with libFuzzer) and the
# native test suite (linked with replay_main.cpp, which runs each corpus
# through the same code, so a crash once found stays a failing test).
set(KELDO_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})
set(KELDO_FUZZ_TARGETS version_text first_line support_answer utf8_text)
if(TARGET keldo_platform_linux)
  list(APPEND KELDO_FUZZ_TARGETS user_reg prefix_path)
endif()

include(${KELDO_FUZZ_DIR}/../tests/support/support.cmake)

# Makes <name><suffix>: the target's code and any further sources given,
# linked with the library under test and the test support it needs.
function(keldo_add_fuzz_target name suffix)
  add_executable(${name}${suffix} ${KELDO_FUZZ_DIR}/${name}_fuzz.cpp ${ARGN})
  target_include_directories(${name}${suffix} PRIVATE ${KELDO_FUZZ_DIR})
  if(name STREQUAL "user_reg" OR name STREQUAL "prefix_path")
    target_link_libraries(${name}${suffix} PRIVATE keldo_test_support_linux)
  else()
    target_link_libraries(${name}${suffix} PRIVATE keldo_test_support)
  endif()
endfunction()
