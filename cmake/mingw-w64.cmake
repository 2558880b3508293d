# Toolchain for the Windows build of the core (settings/, engine/ and their
# tests) with Debian's mingw-w64, posix thread model, linked statically so the
# programs run under wine or on Windows without extra DLLs. GoogleTest is
# built from the sources Debian ships: scripts/windows-core.sh passes
# -DTIRELMA_GTEST_SOURCE=/usr/src/googletest.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run through wine where it is installed (ctest, test discovery).
find_program(TIRELMA_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TIRELMA_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TIRELMA_WINE})
endif()
