# The source commit a build came from, for `keldo-check-report --version` and
# the Windows version record. A working tree moves on between configure runs,
# so git is asked at every build; the generated files are rewritten only when
# the answer changes. A release names the commit in KELDO_SOURCE_COMMIT.
set(KELDO_SOURCE_COMMIT "" CACHE STRING
    "The source commit this build comes from (empty: ask git at every build)")
find_package(Git QUIET)
set(KELDO_SOURCE_COMMIT_DIR ${CMAKE_BINARY_DIR}/source-commit)
add_custom_target(keldo_source_commit_files
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DOUT_DIR=${KELDO_SOURCE_COMMIT_DIR}
          -DGIT=${GIT_EXECUTABLE} -DCOMMIT=${KELDO_SOURCE_COMMIT}
          -P ${CMAKE_CURRENT_LIST_DIR}/write_source_commit.cmake
  BYPRODUCTS ${KELDO_SOURCE_COMMIT_DIR}/source_commit.cpp ${KELDO_SOURCE_COMMIT_DIR}/source_commit.rc.h
  VERBATIM)
add_library(keldo_source_commit STATIC ${KELDO_SOURCE_COMMIT_DIR}/source_commit.cpp)
target_include_directories(keldo_source_commit PUBLIC ${CMAKE_SOURCE_DIR}/src)
add_dependencies(keldo_source_commit keldo_source_commit_files)
