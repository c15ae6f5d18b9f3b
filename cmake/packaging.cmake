# Debian package of salesum, built by CPack from the install rules:
#
#   cmake --workflow --preset package    ->  build-package/salesum_<version>_<arch>.deb
#
# The package version is PROJECT_VERSION, the same number the usage text
# prints. Runtime dependencies are derived from the binary by dpkg-shlibdeps
# (package dpkg-dev), so they follow whatever the build machine links against.

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
