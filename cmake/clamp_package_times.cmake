# CPack step between staging and packing (CPACK_PRE_BUILD_SCRIPTS): every
# staged file and folder gets the commit's time, so the package's file times
# say nothing about when or where it was built.
if(NOT CPACK_KELDO_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "No source time stamp for the package")
endif()
file(GLOB_RECURSE staged LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
if(staged)
  execute_process(COMMAND /usr/bin/touch --no-dereference --date=@${CPACK_KELDO_SOURCE_DATE_EPOCH} -- ${staged}
                  COMMAND_ERROR_IS_FATAL ANY)
endif()
