# Where `cmake --install` puts the programs and their files.
#
# Linux (GNUInstallDirs): bin/tirelma and bin/tirelma-read, the help page in
# share/doc/tirelma/, the desktop entry, icons, AppStream metadata and manual
# pages in their usual folders; the XDG autostart entry only with
# TIRELMA_AUTOSTART, in /etc/xdg/autostart/ for the prefix /usr (elsewhere in
# <prefix>/etc/xdg/autostart/, which the desktop reads only when
# XDG_CONFIG_DIRS names it). An installed copy keeps its profile in the
# user's configuration folder (settings/Locations.h tells it by its desktop
# entry beside bin/).
#
# Windows: one folder, the programs with the help page beside them; the
# profile stays beside the programs where that folder is writable.
include(GNUInstallDirs)

option(TIRELMA_AUTOSTART "Install an XDG autostart entry: Tirelma starts at every user's login" OFF)

set(TIRELMA_DIST ${CMAKE_SOURCE_DIR}/dist)
set(TIRELMA_DESKTOP_ID org.tirelma.Tirelma)

if(WIN32)
    install(TARGETS tirelma tirelma-read RUNTIME DESTINATION .)
    install(FILES ${CMAKE_SOURCE_DIR}/docs/help.html DESTINATION .)
    return()
endif()

set(TIRELMA_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/tirelma)

install(TARGETS tirelma tirelma-read RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/docs/help.html ${TIRELMA_DIST}/debian/copyright
        DESTINATION ${TIRELMA_DOCDIR})
# The entry names the program by its full path: KWin lets a program read
# the screen only where the entry's Exec is the very executable asking.
file(READ ${TIRELMA_DIST}/${TIRELMA_DESKTOP_ID}.desktop entry)
string(REPLACE "\nExec=tirelma\n" "\nExec=${CMAKE_INSTALL_FULL_BINDIR}/tirelma\n" entry "${entry}")
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/dist/${TIRELMA_DESKTOP_ID}.desktop CONTENT "${entry}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${TIRELMA_DIST}/${TIRELMA_DESKTOP_ID}.desktop)
install(FILES ${CMAKE_BINARY_DIR}/dist/${TIRELMA_DESKTOP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${TIRELMA_DIST}/${TIRELMA_DESKTOP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(FILES ${TIRELMA_DIST}/icons/tirelma.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${TIRELMA_DIST}/icons/hicolor/${size}x${size}/apps/tirelma.png
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
# Registers the help page with the system's documentation index.
install(FILES ${TIRELMA_DIST}/debian/tirelma.doc-base DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc-base
        RENAME tirelma)
if(TIRELMA_AUTOSTART)
    install(FILES ${TIRELMA_DIST}/tirelma-autostart.desktop
            DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/autostart RENAME tirelma.desktop)
endif()

# Manual pages and the changelog go compressed, as Debian wants them
# (gzip -9n: no name, no time stamp, so the same bytes each build).
find_program(TIRELMA_GZIP gzip REQUIRED)
set(compressed "")
foreach(file man/tirelma.1 man/tirelma-read.1 debian/changelog)
    get_filename_component(name ${file} NAME)
    set(out ${CMAKE_BINARY_DIR}/dist/${name}.gz)
    add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/dist
        COMMAND ${TIRELMA_GZIP} -9n -c ${TIRELMA_DIST}/${file} > ${out}
        DEPENDS ${TIRELMA_DIST}/${file} VERBATIM)
    list(APPEND compressed ${out})
endforeach()
add_custom_target(dist_files ALL DEPENDS ${compressed})
install(FILES ${CMAKE_BINARY_DIR}/dist/tirelma.1.gz ${CMAKE_BINARY_DIR}/dist/tirelma-read.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/dist/changelog.gz DESTINATION ${TIRELMA_DOCDIR})
