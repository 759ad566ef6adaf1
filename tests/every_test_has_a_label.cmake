# Fails when a test of the build in BUILD has no label: it would be left out
# of every kind (ctest -L), and so out of the test command.
#   cmake -DCTEST=<ctest> -DBUILD=<build folder> -P every_test_has_a_label.cmake
# Excluding every test that has a label leaves those that have none.
execute_process(COMMAND ${CTEST} --test-dir ${BUILD} --show-only -LE .
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ctest could not list the tests of ${BUILD} (status ${status})")
endif()
if(NOT listing MATCHES "Total Tests: 0\n")
  message(FATAL_ERROR "Tests without a label (unit, platform, robust, fuzz-replay, wine, release):\n"
                      "${listing}")
endif()
