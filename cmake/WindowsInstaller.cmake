# Build step of the windows_installer target (cmake -P): makes the per-user
# installer from the folder the zip was packed from (STAGE) with makensis and
# dist/windows/tirelma.nsi. Variables: STAGE, NSI, ICON, OUT, VERSION,
# MAKENSIS, WORK (a folder for the generated file lists); NOCOMPRESS=ON
# stores the files uncompressed (a quick build for tests).
foreach(v STAGE NSI ICON OUT VERSION MAKENSIS WORK)
    if(NOT DEFINED ${v})
        message(FATAL_ERROR "WindowsInstaller.cmake: ${v} is not set")
    endif()
endforeach()

# The installer puts exactly the zip's files in place, and the uninstaller
# removes exactly those: a folder the user chose may hold other files.
file(GLOB_RECURSE files RELATIVE ${STAGE} ${STAGE}/*)
list(SORT files)
set(install "")
set(remove "")
set(folders "")
set(current "-")
foreach(f ${files})
    get_filename_component(dir ${f} DIRECTORY)
    string(REPLACE "/" "\\" windir "${dir}")
    string(REPLACE "/" "\\" winfile "${f}")
    if(NOT dir STREQUAL current)
        if(dir STREQUAL "")
            string(APPEND install "SetOutPath \"$INSTDIR\"\n")
        else()
            string(APPEND install "SetOutPath \"$INSTDIR\\${windir}\"\n")
            list(APPEND folders "${windir}")
        endif()
        set(current "${dir}")
    endif()
    string(APPEND install "File \"${STAGE}/${f}\"\n")
    string(APPEND remove "Delete \"$INSTDIR\\${winfile}\"\n")
endforeach()
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING) # inner folders first
foreach(d ${folders})
    string(APPEND remove "RMDir \"$INSTDIR\\${d}\"\n")
endforeach()
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/files.nsh "${install}")
file(WRITE ${WORK}/unfiles.nsh "${remove}")

# Four numbers for the version resource: 0.1 gives 0.1.0.0.
string(REPLACE "." ";" parts "${VERSION}")
list(LENGTH parts n)
while(n LESS 4)
    list(APPEND parts 0)
    math(EXPR n "${n} + 1")
endwhile()
list(SUBLIST parts 0 4 parts)
list(JOIN parts "." version4)

set(args -V2 -INPUTCHARSET UTF8 "-DVERSION=${VERSION}" "-DVERSION4=${version4}"
    "-DFILES=${WORK}/files.nsh" "-DUNFILES=${WORK}/unfiles.nsh" "-DICON=${ICON}" "-DOUTFILE=${OUT}")
if(NOCOMPRESS)
    list(APPEND args -DNOCOMPRESS)
endif()
execute_process(COMMAND ${MAKENSIS} ${args} ${NSI} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "makensis could not make ${OUT}")
endif()
