# Tests of the Linux platform layer, the console report and the stand-in
# website: real files in temporary prefixes, real TLS on loopback.
if(NOT KELDO_TRUST_TEST_CA)
  message(FATAL_ERROR "The Linux tests talk HTTPS to the stand-in website: configure with KELDO_TRUST_TEST_CA=ON")
endif()
set(keldo_linux_tests_dir ${CMAKE_CURRENT_LIST_DIR})
add_executable(keldo_linux_tests
  ${keldo_linux_tests_dir}/reg_hive_test.cpp
  ${keldo_linux_tests_dir}/wine_registry_test.cpp
  ${keldo_linux_tests_dir}/ansi_code_page_test.cpp
  ${keldo_linux_tests_dir}/wine_files_test.cpp
  ${keldo_linux_tests_dir}/gio_drive_mapper_test.cpp
  ${keldo_linux_tests_dir}/web_client_test.cpp
  ${keldo_linux_tests_dir}/curl_proxy_test.cpp
  ${keldo_linux_tests_dir}/report_test.cpp
)
target_include_directories(keldo_linux_tests PRIVATE ${keldo_linux_tests_dir})
target_compile_definitions(keldo_linux_tests PRIVATE KELDO_TEST_PKI="${KELDO_TEST_PKI_DIR}")
find_package(nlohmann_json REQUIRED)
find_package(OpenSSL REQUIRED)
target_link_libraries(keldo_linux_tests PRIVATE keldo_test_servers keldo_report OpenSSL::Crypto
                      nlohmann_json::nlohmann_json GTest::gtest GTest::gtest_main)
gtest_discover_tests(keldo_linux_tests DISCOVERY_MODE PRE_TEST NO_PRETTY_VALUES PROPERTIES LABELS platform)

# docs/report.md is the report's documented interface and the source of its
# man page: its Usage section must be what --help shows, and the man page
# must come out of it.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
get_filename_component(keldo_linux_tests_root "${keldo_linux_tests_dir}/../.." ABSOLUTE)
add_test(NAME report_docs.usage_is_the_help
  COMMAND Python3::Interpreter ${keldo_linux_tests_root}/scripts/report-man.py usage
          ${keldo_linux_tests_root}/docs/report.md $<TARGET_FILE:keldo-check-report>)
add_test(NAME report_docs.man_page
  COMMAND Python3::Interpreter ${keldo_linux_tests_root}/scripts/report-man.py man
          ${keldo_linux_tests_root}/docs/report.md ${CMAKE_CURRENT_BINARY_DIR}/keldo-check-report.1 0)
set_tests_properties(report_docs.usage_is_the_help report_docs.man_page PROPERTIES LABELS platform)
