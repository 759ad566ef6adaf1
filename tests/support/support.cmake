# The test support shared by the unit tests, the platform and robust tests
# and the fuzz targets; tests/ and fuzz/ both include this file, which
# defines each library once. Include as "support/<file>.h".
include_guard(GLOBAL)
set(keldo_support_dir ${CMAKE_CURRENT_LIST_DIR})

# The stand-in website's fault names, for every test that points a client at
# a fault, on either platform. Include as "standin-website/fault_names.h".
get_filename_component(keldo_support_tools "${keldo_support_dir}/../../tools" ABSOLUTE)
add_library(keldo_standin_fault_names INTERFACE)
target_include_directories(keldo_standin_fault_names INTERFACE ${keldo_support_tools})

# The in-memory ports and the rig that wires them to a window: portable, so
# they are cross-built with the core's unit tests too.
add_library(keldo_test_support STATIC
  ${keldo_support_dir}/fake_local.cpp
  ${keldo_support_dir}/fake_view.cpp
  ${keldo_support_dir}/fake_web.cpp
  ${keldo_support_dir}/rig.cpp
)
target_include_directories(keldo_test_support PUBLIC ${keldo_support_dir}/..)
target_link_libraries(keldo_test_support PUBLIC keldo_core keldo_standin_fault_names keldo_sample_installation)

# POSIX only: a temporary folder, a Wine prefix in one, the sample installation.
if(TARGET keldo_platform_linux)
  add_library(keldo_test_support_linux STATIC
    ${keldo_support_dir}/temp_folder.cpp
    ${keldo_support_dir}/temp_prefix.cpp
    ${keldo_support_dir}/sample_installation.cpp
    ${keldo_support_dir}/report_schema.cpp
  )
  get_filename_component(keldo_support_source_root "${keldo_support_dir}/../.." ABSOLUTE)
  target_compile_definitions(keldo_test_support_linux PRIVATE
    KELDO_SOURCE_ROOT="${keldo_support_source_root}")
  target_link_libraries(keldo_test_support_linux PUBLIC keldo_test_support keldo_platform_linux)
endif()

# The loopback servers the Linux tests talk to, as child processes; only in
# builds that make the stand-in website.
if(TARGET keldo_platform_linux AND TARGET keldo-standin-website)
  get_filename_component(keldo_support_root "${keldo_support_dir}/../.." ABSOLUTE)
  add_library(keldo_test_servers STATIC
    ${keldo_support_dir}/listening_child.cpp
    ${keldo_support_dir}/standin_server.cpp
    ${keldo_support_dir}/connect_proxy.cpp
  )
  target_compile_definitions(keldo_test_servers PRIVATE
    KELDO_STANDIN_EXE="$<TARGET_FILE:keldo-standin-website>"
    KELDO_TEST_PKI="${KELDO_TEST_PKI_DIR}"
    KELDO_CONNECT_PROXY="${keldo_support_root}/tools/connect-proxy/connect_proxy.py")
  target_link_libraries(keldo_test_servers PUBLIC keldo_test_support_linux)
  add_dependencies(keldo_test_servers keldo-standin-website)
endif()
