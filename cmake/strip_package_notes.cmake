# CPack step between staging and packing (CPACK_PRE_BUILD_SCRIPTS), before the
# times are clamped: the staged program loses the compiler's .comment and
# .note sections, as Debian's own packaging strips them.
file(GLOB staged_programs "${CPACK_TEMPORARY_DIRECTORY}/*/bin/*" "${CPACK_TEMPORARY_DIRECTORY}/bin/*")
if(NOT staged_programs)
  message(FATAL_ERROR "No staged program to strip in ${CPACK_TEMPORARY_DIRECTORY}")
endif()
execute_process(COMMAND ${CPACK_KELDO_STRIP} --remove-section=.comment --remove-section=.note
                        -- ${staged_programs}
                COMMAND_ERROR_IS_FATAL ANY)
