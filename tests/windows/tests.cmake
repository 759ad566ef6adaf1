# Windows tests, run under Wine by ctest (see cmake/wine-private-prefix.sh):
# the pure parts of the Windows layer, and the layer itself against a
# private Wine prefix.
set(windows_test_dir ${CMAKE_CURRENT_BINARY_DIR}/windows)

# A stand-in for the system's net.exe, found first because it lies beside
# the test program; it records how it was started.
add_executable(keldo_net_stub windows/net_stub.cpp)
set_target_properties(keldo_net_stub PROPERTIES OUTPUT_NAME net
                      RUNTIME_OUTPUT_DIRECTORY ${windows_test_dir})
target_compile_options(keldo_net_stub PRIVATE -municode)
target_link_options(keldo_net_stub PRIVATE -municode)

add_executable(keldo_windows_tests
  windows/window_layout_test.cpp
  windows/web_address_test.cpp
  windows/platform_fixture.cpp
  windows/settings_registry_test.cpp
  windows/files_test.cpp
  windows/drive_mapper_test.cpp
  windows/web_client_test.cpp
  windows/proxy_rules_test.cpp
)
set_target_properties(keldo_windows_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${windows_test_dir})
target_include_directories(keldo_windows_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(keldo_windows_tests PRIVATE keldo_windows_window GTest::gtest GTest::gtest_main)
add_dependencies(keldo_windows_tests keldo_net_stub)
add_test(NAME keldo_windows_tests COMMAND keldo_windows_tests)
