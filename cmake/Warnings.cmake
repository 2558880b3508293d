# Strict warnings for the project's own targets only (never for system headers).
function(tirelma_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /WX)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
        if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12)
            # GCC 12 reports std::basic_string's own copies as overlapping at -O3,
            # a known false alarm of its restrict analysis.
            target_compile_options(${target} PRIVATE -Wno-restrict)
        endif()
    endif()
endfunction()
