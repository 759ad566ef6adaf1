# Configure step of deb_package.cmake: the package's copyright file (Debian's
# machine-readable format, the licence text from LICENSE) and its changelog,
# dated at the commit so that the bytes depend on the commit alone. The
# package is native (its version has no Debian revision), so the changelog
# is changelog.gz, as Debian's policy names it for native packages.
# In: keldo_doc_build, keldo_deb_version, keldo_epoch, KELDO_DEB_MAINTAINER, KELDO_GZIP.
file(STRINGS ${CMAKE_SOURCE_DIR}/LICENSE licence_lines)
list(POP_FRONT licence_lines licence_title)
set(holder "")
set(licence_body "")
foreach(line IN LISTS licence_lines)
  if(line MATCHES "^Copyright \\(c\\) (.+)$")
    set(holder "${CMAKE_MATCH_1}")
  elseif(holder STREQUAL "")
    continue()  # the blank line before the copyright line
  elseif(line STREQUAL "")
    string(APPEND licence_body " .\n")
  else()
    string(APPEND licence_body " ${line}\n")
  endif()
endforeach()
if(NOT licence_title STREQUAL "MIT License" OR holder STREQUAL "")
  message(FATAL_ERROR "LICENSE is not the MIT licence with a Copyright line")
endif()
string(REGEX REPLACE "^ \\.\n" "" licence_body "${licence_body}")  # the blank after it
file(WRITE ${keldo_doc_build}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Check Keldo Support
Upstream-Contact: ${KELDO_DEB_MAINTAINER}

Files: *
Copyright: ${holder}
License: Expat
${licence_body}")

set(saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${keldo_epoch})
string(TIMESTAMP changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(ENV{SOURCE_DATE_EPOCH} "${saved_epoch}")
file(WRITE ${keldo_doc_build}/changelog
"keldo-check-report (${keldo_deb_version}) stable; urgency=medium

  * Release ${keldo_deb_version} of the console report of Check Keldo Support.

 -- ${KELDO_DEB_MAINTAINER}  ${changelog_date}
")
execute_process(COMMAND ${KELDO_GZIP} -9nf ${keldo_doc_build}/changelog COMMAND_ERROR_IS_FATAL ANY)
