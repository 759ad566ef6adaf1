# Windows tests, run under Wine by ctest one case at a time (wine_cases.cmake):
# the pure parts of the Windows layer, and the layer itself against a
# private Wine prefix.
set(windows_test_dir ${CMAKE_CURRENT_BINARY_DIR}/windows)

# A stand-in for the system's net.exe that records how it was started: the
# tests install it as the prefix's own system32\net.exe. Its planted twin
# is put where only a search would find it.
add_executable(keldo_net_stub windows/net_stub.cpp)
set_target_properties(keldo_net_stub PROPERTIES OUTPUT_NAME net
                      RUNTIME_OUTPUT_DIRECTORY ${windows_test_dir}/system32)
add_executable(keldo_planted_net windows/net_stub.cpp)
target_compile_definitions(keldo_planted_net PRIVATE KELDO_PLANTED_NET)
set_target_properties(keldo_planted_net PROPERTIES OUTPUT_NAME net
                      RUNTIME_OUTPUT_DIRECTORY ${windows_test_dir}/planted)
foreach(stub keldo_net_stub keldo_planted_net)
  target_compile_options(${stub} PRIVATE -municode)
  target_link_options(${stub} PRIVATE -municode)
endforeach()

add_executable(keldo_windows_tests
  windows/window_layout_test.cpp
  windows/web_address_test.cpp
  windows/platform_fixture.cpp
  windows/settings_registry_test.cpp
  windows/files_test.cpp
  windows/drive_mapper_test.cpp
  windows/net_use_command_test.cpp
  windows/web_client_test.cpp
  windows/proxy_rules_test.cpp
  windows/responsive_wait_test.cpp
  windows/findings_clipboard_test.cpp
)
set_target_properties(keldo_windows_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${windows_test_dir})
target_include_directories(keldo_windows_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(keldo_windows_tests PRIVATE keldo_windows_window keldo_test_support shell32
                      GTest::gtest GTest::gtest_main)
add_dependencies(keldo_windows_tests keldo_net_stub keldo_planted_net)
keldo_wine_test_cases(keldo_windows_tests platform)
