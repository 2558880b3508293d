# Build step of the windows_zip target (cmake -P): lays out the portable
# folder in STAGE and packs it into ZIP. The variables come from
# tirelma_windows_zip() in Windows.cmake.
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/platforms ${STAGE}/styles ${STAGE}/translations ${STAGE}/licenses)

file(COPY ${PROGRAMS} ${DLLS} ${HELP} DESTINATION ${STAGE})
file(COPY ${PLATFORM_PLUGIN} DESTINATION ${STAGE}/platforms)
file(COPY ${STYLE_PLUGIN} DESTINATION ${STAGE}/styles)
file(COPY ${TRANSLATIONS} DESTINATION ${STAGE}/translations)
# Qt is LGPL-3 (which builds on GPL-3); the GCC runtime DLLs carry the GCC
# runtime library exception.
file(COPY ${LICENSES}/LGPL-3 ${LICENSES}/GPL-3 DESTINATION ${STAGE}/licenses)

# Notepad of every Windows version reads UTF-8 with a byte-order mark and
# CR LF line ends.
file(READ ${README} text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 bom)
file(WRITE ${STAGE}/README.txt "${bom}${text}")

# Debugging symbols are three fifths of the DLLs' size.
file(GLOB_RECURSE binaries ${STAGE}/*.exe ${STAGE}/*.dll)
foreach(b ${binaries})
    execute_process(COMMAND ${STRIP} --strip-unneeded ${b} RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "could not strip ${b}")
    endif()
endforeach()

get_filename_component(parent ${STAGE} DIRECTORY)
get_filename_component(folder ${STAGE} NAME)
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip -- ${folder}
                WORKING_DIRECTORY ${parent} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "could not make ${ZIP}")
endif()
