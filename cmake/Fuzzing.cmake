# Opt-in libFuzzer build (clang), in one of two kinds:
#   checked  everything under AddressSanitizer and UndefinedBehaviorSanitizer,
#            with comparison tracing: the short runs of the test command, and
#            the replay of what long runs found;
#   fast     UndefinedBehaviorSanitizer only and no comparison tracing, for
#            runs of millions of inputs (scripts/fuzz.sh --long); the fuzzers
#            then lean on their dictionaries (fuzz/dict/) for the bytes that
#            matter.
# Both build with the standard library's bounds checks, so that an
# out-of-range read of a container stops the run even where it stays inside
# the allocation. The fuzzers' own checking code is never instrumented for
# coverage (fuzz/CMakeLists.txt): only the program's code guides them.
option(TIRELMA_FUZZ "Build the libFuzzer targets in fuzz/ (needs clang)" OFF)
set(TIRELMA_FUZZ_KIND checked CACHE STRING "checked (ASan, UBSan) or fast (UBSan)")
if(TIRELMA_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "TIRELMA_FUZZ needs clang: configure with CXX=clang++")
    endif()
    if(TIRELMA_FUZZ_KIND STREQUAL "fast")
        add_compile_options(-fsanitize=fuzzer-no-link,undefined -fno-sanitize-coverage=trace-cmp
                            -fno-sanitize-recover=all -fno-omit-frame-pointer)
        add_link_options(-fsanitize=undefined)
    elseif(TIRELMA_FUZZ_KIND STREQUAL "checked")
        add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                            -fno-omit-frame-pointer)
        add_link_options(-fsanitize=address,undefined)
    else()
        message(FATAL_ERROR "TIRELMA_FUZZ_KIND is checked or fast, not ${TIRELMA_FUZZ_KIND}")
    endif()
    add_compile_definitions(_GLIBCXX_ASSERTIONS _GLIBCXX_SANITIZE_VECTOR)
endif()
