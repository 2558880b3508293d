# Windows: the programs' icon and version resource, the portable zip and
# the per-user installer (scripts/windows-build.sh makes them). Included
# only when building for Windows.

# The program's icon: the pictures of the desktop icon (dist/icons) in one
# Windows icon file.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(TIRELMA_ICON ${CMAKE_BINARY_DIR}/tirelma.ico)
set(pictures)
foreach(size 16 24 32 48 64 256)
    list(APPEND pictures ${CMAKE_SOURCE_DIR}/dist/icons/hicolor/${size}x${size}/apps/tirelma.png)
endforeach()
add_custom_command(OUTPUT ${TIRELMA_ICON}
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/cmake/make-ico.py ${TIRELMA_ICON} ${pictures}
    DEPENDS ${CMAKE_SOURCE_DIR}/cmake/make-ico.py ${pictures} VERBATIM)
add_custom_target(windows_icon DEPENDS ${TIRELMA_ICON})

# Gives a program the icon and version information Explorer shows, and its
# manifest.
function(tirelma_windows_resources target description)
    set(TIRELMA_RC_NAME ${target})
    set(TIRELMA_RC_DESCRIPTION ${description})
    set(TIRELMA_MANIFEST ${CMAKE_SOURCE_DIR}/app/win/tirelma.manifest)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    configure_file(${CMAKE_SOURCE_DIR}/app/win/tirelma.rc.in ${rc} @ONLY)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${TIRELMA_ICON};${TIRELMA_MANIFEST}")
    target_sources(${target} PRIVATE ${rc})
    add_dependencies(${target} windows_icon)
endfunction()

# The portable zip: a folder Tirelma/ with both programs, the Qt and mingw
# DLLs they load, Qt's Japanese translations, the help page and a README.
# Unzipped anywhere writable, the program keeps its profile beside itself.
function(tirelma_windows_zip)
    set(zip ${CMAKE_BINARY_DIR}/tirelma-${PROJECT_VERSION}-windows-x64.zip)
    set(runtime)
    foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        string(MAKE_C_IDENTIFIER ${dll} var)
        find_file(TIRELMA_${var} ${dll} PATHS ${TIRELMA_MINGW_RUNTIME_DIRS}
                  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
        list(APPEND runtime ${TIRELMA_${var}})
    endforeach()
    # Translations are the same files on every system: Debian's
    # qt6-translations-l10n, for the Qt version the program is built with.
    find_file(TIRELMA_QTBASE_JA qtbase_ja.qm PATHS /usr/share/qt6/translations
              NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(NOT TIRELMA_QTBASE_JA)
        message(FATAL_ERROR "qtbase_ja.qm not found: apt-get install qt6-translations-l10n")
    endif()
    set(readme ${CMAKE_SOURCE_DIR}/dist/windows/README.txt)
    add_custom_command(OUTPUT ${zip}
        COMMAND ${CMAKE_COMMAND}
            -DZIP=${zip}
            -DSTAGE=${CMAKE_BINARY_DIR}/zip/Tirelma
            -DSTRIP=${CMAKE_STRIP}
            "-DPROGRAMS=$<TARGET_FILE:tirelma>;$<TARGET_FILE:tirelma-read>"
            "-DDLLS=$<TARGET_FILE:Qt6::Core>;$<TARGET_FILE:Qt6::Gui>;$<TARGET_FILE:Qt6::Widgets>;${runtime}"
            -DPLATFORM_PLUGIN=$<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>
            -DSTYLE_PLUGIN=$<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>
            -DTRANSLATIONS=${TIRELMA_QTBASE_JA}
            -DHELP=${CMAKE_SOURCE_DIR}/docs/help.html
            -DREADME=${readme}
            -DLICENSES=/usr/share/common-licenses
            -P ${CMAKE_SOURCE_DIR}/cmake/WindowsZip.cmake
        DEPENDS tirelma tirelma-read ${CMAKE_SOURCE_DIR}/cmake/WindowsZip.cmake
                ${CMAKE_SOURCE_DIR}/docs/help.html ${readme}
        COMMENT "Making ${zip}"
        VERBATIM)
    add_custom_target(windows_zip ALL DEPENDS ${zip})
    tirelma_windows_installer(${CMAKE_BINARY_DIR}/zip/Tirelma ${zip})
endfunction()

# The per-user installer, from the same files as the zip (staged in stage,
# made together with zip): tirelma-<version>-windows-x64-setup.exe.
function(tirelma_windows_installer stage zip)
    find_program(TIRELMA_MAKENSIS makensis NO_CMAKE_FIND_ROOT_PATH)
    if(NOT TIRELMA_MAKENSIS)
        message(FATAL_ERROR "makensis not found: apt-get install nsis (scripts/install-deps.sh windows)")
    endif()
    set(setup ${CMAKE_BINARY_DIR}/tirelma-${PROJECT_VERSION}-windows-x64-setup.exe)
    set(nsi ${CMAKE_SOURCE_DIR}/dist/windows/tirelma.nsi)
    add_custom_command(OUTPUT ${setup}
        COMMAND ${CMAKE_COMMAND}
            -DSTAGE=${stage} -DNSI=${nsi} -DICON=${TIRELMA_ICON} -DOUT=${setup}
            -DVERSION=${PROJECT_VERSION} -DMAKENSIS=${TIRELMA_MAKENSIS}
            -DWORK=${CMAKE_BINARY_DIR}/installer
            -P ${CMAKE_SOURCE_DIR}/cmake/WindowsInstaller.cmake
        DEPENDS ${zip} ${nsi} ${CMAKE_SOURCE_DIR}/cmake/WindowsInstaller.cmake ${TIRELMA_ICON}
        COMMENT "Making ${setup}"
        VERBATIM)
    add_custom_target(windows_installer ALL DEPENDS ${setup})
endfunction()
