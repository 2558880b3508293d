# Opt-in libFuzzer build (clang): everything is compiled with coverage
# instrumentation, AddressSanitizer and UndefinedBehaviorSanitizer, and with
# the standard library's bounds checks, so that an out-of-range read of a
# container stops the run even where it stays inside the allocation.
option(TIRELMA_FUZZ "Build the libFuzzer targets in fuzz/ (needs clang)" OFF)
if(TIRELMA_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "TIRELMA_FUZZ needs clang: configure with CXX=clang++")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_compile_definitions(_GLIBCXX_ASSERTIONS _GLIBCXX_SANITIZE_VECTOR)
    add_link_options(-fsanitize=address,undefined)
endif()
