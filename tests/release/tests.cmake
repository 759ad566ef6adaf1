# The release checks under ctest (label release): reproducible release builds,
# the package, and signing; at the end they sign this build's two programs,
# which the Wine tests then run (tests/wine/tests.cmake).
add_test(NAME release_checks
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run-release-checks.sh ${CMAKE_BINARY_DIR})
set_tests_properties(release_checks PROPERTIES
  LABELS release RESOURCE_LOCK keldo_windows_programs TIMEOUT 3600)
