# Build step of source_commit.cmake: writes the commit into a C++ source and
# a resource header, each only when its text changes.
#   cmake -DSOURCE_DIR=... -DOUT_DIR=... -DGIT=... [-DCOMMIT=...] -P write_source_commit.cmake
if("${COMMIT}" STREQUAL "")
  set(COMMIT unknown)
  if(GIT)
    execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} rev-parse --verify HEAD
                    OUTPUT_VARIABLE head RESULT_VARIABLE status
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(status EQUAL 0)
      set(COMMIT ${head})
      execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} status --porcelain --untracked-files=no
                      OUTPUT_VARIABLE changes RESULT_VARIABLE status ERROR_QUIET)
      if(NOT status EQUAL 0 OR NOT changes STREQUAL "")
        string(APPEND COMMIT -modified)
      endif()
    endif()
  endif()
endif()
# It lands inside C and resource string literals.
if(NOT COMMIT MATCHES "^[0-9A-Za-z._-]+$")
  message(FATAL_ERROR "Not a commit name: '${COMMIT}'")
endif()
file(CONFIGURE OUTPUT ${OUT_DIR}/source_commit.cpp CONTENT
     "#include \"report/source_commit.h\"\n\nconst char keldo::kSourceCommit[] = \"${COMMIT}\";\n")
file(CONFIGURE OUTPUT ${OUT_DIR}/source_commit.rc.h CONTENT
     "#define KELDO_SOURCE_COMMENTS \"Source commit ${COMMIT}\"\n")
