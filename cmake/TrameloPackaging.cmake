# The Debian package: `cpack -G DEB` in the build directory.
#
# The program looks for its sounds and help under the install prefix it was
# compiled with, so the package installs under that same prefix. For a
# package in the usual Debian places configure with -DCMAKE_INSTALL_PREFIX=/usr.
# The library dependencies come from dpkg-shlibdeps (package dpkg-dev); the
# ones below are what it cannot see: the fonts the race table and the status
# line are drawn in, and Qt's Czech texts of the standard buttons and dialogs.
set(CPACK_PACKAGE_NAME tramelo)
set(CPACK_PACKAGE_VENDOR Korvanta)
set(CPACK_PACKAGE_CONTACT "Tramelo maintainers <tramelo@korvanta.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Race program of a digital model car racing track")
set(CPACK_PACKAGE_DESCRIPTION
  "Tramelo counts the laps of up to eight cars from the track's lap-counting\n"
  "hardware on a serial port, shows times, speeds, gaps, fuel and flags in a\n"
  "full-screen race table, starts the race with start lights and spoken counts,\n"
  "and saves the results as a CSV file. Its texts are Czech.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core, qt6-translations-l10n")
# The help document is opened with the desktop's handler.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")

include(CPack)
