# The sample installation (demo/sample_installation.conf) for C++: each
# value as a string literal macro, KELDO_SAMPLE_<NAME>, in
# sample_installation_values.h of the interface library
# keldo_sample_installation. Macros, so that a test can join one to a
# literal of any width (L"Serial Number:  " KELDO_SAMPLE_SERIAL). Made
# again whenever the file changes.
include_guard(GLOBAL)
set(keldo_sample_file ${CMAKE_CURRENT_LIST_DIR}/../demo/sample_installation.conf)
set(keldo_sample_header_dir ${CMAKE_BINARY_DIR}/generated/sample)
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${keldo_sample_file})

file(STRINGS ${keldo_sample_file} keldo_sample_lines)
set(keldo_sample_macros "")
foreach(line IN LISTS keldo_sample_lines)
  if(line STREQUAL "" OR line MATCHES "^#")
    continue()
  endif()
  if(NOT line MATCHES "^([a-z_]+)=([^\"]*)$")
    message(FATAL_ERROR "${keldo_sample_file}: not a name=value line: ${line}")
  endif()
  string(TOUPPER "${CMAKE_MATCH_1}" name)
  string(REPLACE "\\" "\\\\" value "${CMAKE_MATCH_2}")
  string(APPEND keldo_sample_macros "#define KELDO_SAMPLE_${name} \"${value}\"\n")
endforeach()
file(CONFIGURE OUTPUT ${keldo_sample_header_dir}/sample_installation_values.h CONTENT
     "#pragma once\n// Made from demo/sample_installation.conf by cmake/sample_installation.cmake.\n${keldo_sample_macros}" @ONLY)

add_library(keldo_sample_installation INTERFACE)
target_include_directories(keldo_sample_installation INTERFACE ${keldo_sample_header_dir})
