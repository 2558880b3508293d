# Runs in CPack before the package is made: strips the programs as Debian's
# own tools do (debug symbols, and the .comment and .note sections).
file(GLOB programs "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/*")
foreach(program ${programs})
    execute_process(COMMAND strip --remove-section=.comment --remove-section=.note
                            --strip-unneeded ${program}
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "cannot strip ${program}")
    endif()
endforeach()
message(STATUS "stripped: ${programs}")
