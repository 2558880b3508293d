# The Debian package, made by CPack from the install rules (cmake/Install.cmake):
#   cmake --build <dir> --target package      (or: cd <dir> && cpack -G DEB)
# Its dependencies are found from the programs' shared libraries
# (dpkg-shlibdeps). scripts/package.sh builds it with Debian's hardening flags.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tirelma)
set(CPACK_PACKAGE_VENDOR "Tirelma developers")
set(CPACK_PACKAGE_CONTACT "Tirelma developers <tirelma@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "read numbers off the screen and log them to a file")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebStrip.cmake)
set(CPACK_THREADS 0)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# A Japanese font for the windows' texts, the desktop's opener for the help
# page, Qt's own dialogs in Japanese; on Wayland Qt's Wayland plugin (Qt
# loads it at run time, so no library names it) and the desktop portal,
# through which GNOME and KDE give the screen's pixels (its implementation
# comes with the desktop).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-ipafont-gothic | fonts-japanese-gothic, xdg-utils, qt6-translations-l10n, qt6-wayland, xdg-desktop-portal")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Tirelma reads numbers that another program shows at a fixed place of the
screen, such as coordinates or counter values. The place is marked once and
the look of each character is taught by cutting glyphs out of a magnified
black-and-white copy; from then on one press of Alt reads the place by
pixel-exact template matching, shows the text, and appends it as a line to a
text or CSV file.
.
Tirelma waits in the notification area of an X11 or Wayland desktop and
keeps its settings in one profile file, compatible with the Windows version.
On Wayland, where no program sees the keys of another, `tirelma --show`
bound to a key opens it. The
command-line reader tirelma-read reads saved screenshots or the live screen
for scripts.")
include(CPack)
