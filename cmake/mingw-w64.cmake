# Toolchain for the Windows build (x86-64) with Debian's mingw-w64, posix
# thread model (Qt needs std::thread). scripts/windows-build.sh passes it
# together with the Qt for Windows in CMAKE_PREFIX_PATH and the host Qt's
# tools (QT_HOST_PATH=/usr); without Qt only the core is built
# (-DTIRELMA_GUI=OFF). GoogleTest is built from the sources Debian ships
# (-DTIRELMA_GTEST_SOURCE=/usr/src/googletest).
#
# The programs link the mingw runtime as DLLs (libstdc++-6, libgcc_s_seh-1,
# libwinpthread-1), as Qt's own DLLs do: one C++ runtime in the process.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TIRELMA_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TIRELMA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TIRELMA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TIRELMA_MINGW}-windres)
set(CMAKE_AR /usr/bin/${TIRELMA_MINGW}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/${TIRELMA_MINGW}-ranlib CACHE FILEPATH "")
set(CMAKE_STRIP /usr/bin/${TIRELMA_MINGW}-strip CACHE FILEPATH "")

# Target roots: the mingw sysroot and the cross-built Qt.
set(CMAKE_FIND_ROOT_PATH /usr/${TIRELMA_MINGW})
if(CMAKE_PREFIX_PATH)
    list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Where the runtime DLLs are, for the zip and for running under wine.
file(GLOB TIRELMA_MINGW_RUNTIME_DIRS LIST_DIRECTORIES true /usr/lib/gcc/${TIRELMA_MINGW}/*-posix)
list(APPEND TIRELMA_MINGW_RUNTIME_DIRS /usr/${TIRELMA_MINGW}/lib)
