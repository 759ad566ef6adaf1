# The Debian package of the console report: the program, a man page made from
# docs/report.md, the README, the licence (copyright) and a changelog as Debian
# lays them out; dependencies from dpkg-shlibdeps.
#   cmake --workflow --preset release-linux    (scripts/release.sh runs it)
if(WIN32 OR CMAKE_CROSSCOMPILING)
  message(FATAL_ERROR "The Debian package is built natively on Debian")
endif()
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(KELDO_GZIP gzip REQUIRED)

# Every time stamp in the package is the commit's time.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(keldo_epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  find_package(Git REQUIRED)
  execute_process(COMMAND ${GIT_EXECUTABLE} -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct HEAD
                  OUTPUT_VARIABLE keldo_epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endif()
if(NOT keldo_epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is not a time: '${keldo_epoch}'")
endif()

set(keldo_man_dir ${CMAKE_BINARY_DIR}/man)
set(keldo_man ${keldo_man_dir}/keldo-check-report.1)
add_custom_command(OUTPUT ${keldo_man}.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${keldo_man_dir}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/scripts/report-man.py man
          ${CMAKE_SOURCE_DIR}/docs/report.md ${keldo_man} ${keldo_epoch}
  COMMAND ${KELDO_GZIP} -9nf ${keldo_man}
  DEPENDS ${CMAKE_SOURCE_DIR}/scripts/report-man.py ${CMAKE_SOURCE_DIR}/docs/report.md
  COMMENT "Making the man page from docs/report.md"
  VERBATIM)
add_custom_target(keldo_man_page ALL DEPENDS ${keldo_man}.gz)

set(KELDO_DEB_MAINTAINER "Keldo Support <support@keldo-accounts.example>" CACHE STRING
    "The vendor's support contact, \"Name <address>\": the package's Maintainer and upstream contact")
if(NOT KELDO_DEB_MAINTAINER MATCHES "^[^<>,]*[^<>, ] <[^<>@ ]+@[^<>@ ]+>$")
  message(FATAL_ERROR "KELDO_DEB_MAINTAINER is not \"Name <address>\": '${KELDO_DEB_MAINTAINER}'")
endif()
set(keldo_deb_version ${PROJECT_VERSION})
set(keldo_doc_dir share/doc/keldo-check-report)
set(keldo_doc_build ${CMAKE_BINARY_DIR}/doc)
include(${CMAKE_CURRENT_LIST_DIR}/deb_doc_files.cmake)
add_custom_command(OUTPUT ${keldo_doc_build}/README.md.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${keldo_doc_build}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/README.md ${keldo_doc_build}/README.md
  COMMAND ${KELDO_GZIP} -9nf ${keldo_doc_build}/README.md
  DEPENDS ${CMAKE_SOURCE_DIR}/README.md
  COMMENT "Compressing the README as Debian does"
  VERBATIM)
add_custom_target(keldo_readme ALL DEPENDS ${keldo_doc_build}/README.md.gz)

install(TARGETS keldo-check-report RUNTIME DESTINATION bin)
install(FILES ${keldo_man}.gz DESTINATION share/man/man1)
install(FILES ${keldo_doc_build}/README.md.gz ${keldo_doc_build}/copyright
              ${keldo_doc_build}/changelog.gz DESTINATION ${keldo_doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME keldo-check-report)
set(CPACK_PACKAGE_VERSION ${keldo_deb_version})
set(CPACK_PACKAGE_VENDOR "Check Keldo Support")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keldo6 Accounts support and version check, console report")
set(CPACK_PACKAGE_DESCRIPTION
    "Runs the check of Check Keldo Support against the Wine prefix that holds
Keldo6 Accounts: the product's settings, the drive of its database, the
support expiry recorded on the PC and reported by the vendor's website,
and the installed, offered and downloaded versions. Prints the results,
or one JSON object with --json.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KELDO_DEB_MAINTAINER}")
# The website's certificate is checked against the system's CAs; gio re-maps
# the remembered network drives, and gvfs gives it the smb:// backend.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ca-certificates, libglib2.0-bin")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gvfs-backends")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_KELDO_SOURCE_DATE_EPOCH ${keldo_epoch})
set(CPACK_KELDO_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/strip_package_notes.cmake
                            ${CMAKE_CURRENT_LIST_DIR}/clamp_package_times.cmake)
include(CPack)
