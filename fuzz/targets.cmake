# The fuzz targets, shared by the fuzz build (linked with libFuzzer) and the
# native test suite (linked with replay_main.cpp, which runs each corpus
# through the same code, so a crash once found stays a failing test).
set(KELDO_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})
set(KELDO_FUZZ_TARGETS version_text first_line support_answer utf8_text)
if(TARGET keldo_platform_linux)
  list(APPEND KELDO_FUZZ_TARGETS user_reg prefix_path)
endif()

# Makes <name><suffix>: the target's code and any further sources given,
# linked with the library under test.
function(keldo_add_fuzz_target name suffix)
  set(sources ${KELDO_FUZZ_DIR}/${name}_fuzz.cpp ${ARGN})
  if(name STREQUAL "user_reg" OR name STREQUAL "prefix_path")
    list(APPEND sources ${KELDO_FUZZ_DIR}/scratch_folder.cpp)
    set(library keldo_platform_linux keldo_probes)
  else()
    list(APPEND sources ${KELDO_FUZZ_DIR}/memory_ports.cpp)
    set(library keldo_core)
  endif()
  add_executable(${name}${suffix} ${sources})
  target_include_directories(${name}${suffix} PRIVATE ${KELDO_FUZZ_DIR})
  target_link_libraries(${name}${suffix} PRIVATE ${library})
endfunction()
