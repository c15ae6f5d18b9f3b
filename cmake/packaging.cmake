# Debian package of salesum, built by CPack from the install rules:
#
#   cmake --workflow --preset package    ->  build-package/salesum_<version>_<arch>.deb
#
# The package version is PROJECT_VERSION, the same number the usage text
# prints. Runtime dependencies are derived from the binary by dpkg-shlibdeps
# (package dpkg-dev), so they follow whatever the build machine links against.
# Building needs libutf8proc-dev (cmake/width_table.cmake), but the program
# carries its width table compiled in and does not link utf8proc, so the
# package does not depend on libutf8proc2.

set(SALESUM_PACKAGE_MAINTAINER "salesum developers <salesum@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME "${PROJECT_NAME}")
set(CPACK_PACKAGE_VENDOR "salesum developers")
set(CPACK_PACKAGE_CONTACT "${SALESUM_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "summarise application sales reports")
set(CPACK_PACKAGE_DESCRIPTION
    "salesum reads the tab-separated sales reports in the current directory
whose names match a wildcard pattern, keeps the records that lie inside an
optional date window and groups them by application. It prints the number of
records, units sold and units of updates per application, and the units and
revenue per application and currency with a row of totals. Given a file of
currency rates it also converts the totals to USD and adds them up.")
# Packages hold stripped binaries; the debug build stays in the build tree.
set(CPACK_STRIP_FILES ON)

# The licence and the changelog, under share/doc/salesum/. Debian wants them
# as copyright and as changelog.gz (gzip -9n: no name or time stamp, so the
# package builds the same every time); other installs get the plain LICENSE.
# cmake/debian/changelog is in Debian's format, newest release first, and its
# first version must be PROJECT_VERSION (.ci/steps/40-package.sh checks it).
option(SALESUM_DEBIAN_DOCS "Install the licence and changelog as a Debian package wants them" OFF)
if(SALESUM_DEBIAN_DOCS)
    find_program(GZIP_PROGRAM gzip REQUIRED)
    set(compressed_changelog ${CMAKE_BINARY_DIR}/doc/changelog.gz)
    add_custom_command(OUTPUT ${compressed_changelog}
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/cmake/debian/changelog
                ${CMAKE_BINARY_DIR}/doc/changelog
        COMMAND ${GZIP_PROGRAM} -9 -n -f ${CMAKE_BINARY_DIR}/doc/changelog
        DEPENDS ${CMAKE_SOURCE_DIR}/cmake/debian/changelog
        COMMENT "Compressing the changelog"
        VERBATIM)
    add_custom_target(compressed_changelog ALL DEPENDS ${compressed_changelog})
    install(FILES ${compressed_changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR})
    install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)
else()
    install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

if(WIN32)
    set(CPACK_GENERATOR ZIP)
else()
    set(CPACK_GENERATOR DEB)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SALESUM_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
