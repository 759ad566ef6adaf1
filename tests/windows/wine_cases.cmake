# Each test case of a Windows test program is a ctest test of its own, run
# under Wine by cmake/wine-private-prefix.sh. The cases of one program share
# one prefix, kept with its Wine server, one case at a time, as they did
# when the program ran them all in one go: a fresh prefix per case would
# cost a Wine start of about 2 s each. A fixture makes the prefix before
# the first case and removes it after the last.
function(keldo_wine_test_cases target label)
  set(prefix_name ${target})
  set(fixture ${target}_prefix)
  add_test(NAME ${target}.make_prefix COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --make ${prefix_name})
  add_test(NAME ${target}.remove_prefix COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --remove ${prefix_name})
  set_tests_properties(${target}.make_prefix PROPERTIES FIXTURES_SETUP ${fixture})
  set_tests_properties(${target}.remove_prefix PROPERTIES FIXTURES_CLEANUP ${fixture})
  set_tests_properties(${target}.make_prefix ${target}.remove_prefix PROPERTIES
                       LABELS ${label} RESOURCE_LOCK ${fixture})
  # The list of cases is asked for in a throw-away prefix: the first Wine
  # start in a build folder makes its ready prefix, about 15 s.
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST NO_PRETTY_VALUES DISCOVERY_TIMEOUT 120
    PROPERTIES LABELS ${label} FIXTURES_REQUIRED ${fixture} RESOURCE_LOCK ${fixture}
               ENVIRONMENT KELDO_WINE_PREFIX_NAME=${prefix_name})
endfunction()
