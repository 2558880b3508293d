#!/usr/bin/env bash
# Builds Tirelma for Windows (x86-64) with mingw-w64 and makes the portable
# zip build-win/tirelma-<version>-windows-x64.zip and the per-user installer
# build-win/tirelma-<version>-windows-x64-setup.exe (NSIS): every folder of
# the project, with the same warnings-as-errors as on Linux.
#
#   scripts/windows-build.sh [--core]
#
# Qt for Windows comes from the first of: $TIRELMA_QT_MINGW (a Qt folder, or
# a qt6-mingw.tar.xz or a folder holding one), ../shared/qt6-mingw/ beside
# the checkout, build-qt6-mingw/qt6-mingw (made by scripts/windows-qt.sh). With
# none of them, or with --core, only settings/, engine/ and their tests are
# built. Installs what it needs with apt-get (scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
started=$(date +%s)

./scripts/install-deps.sh windows

build=build-win
core=0
[ "${1:-}" = --core ] && core=1

# Qt: a folder with lib/cmake/Qt6, unpacked into the build folder when it
# comes as a tarball (again when the tarball is newer).
qt_from() {
    local c=$1
    [ -n "$c" ] || return 1
    if [ -d "$c" ] && [ -f "$c/lib/cmake/Qt6/Qt6Config.cmake" ]; then
        (cd "$c" && pwd)
        return 0
    fi
    [ -d "$c" ] && c="$c/qt6-mingw.tar.xz"
    [ -f "$c" ] || return 1
    mkdir -p "$build"
    if [ ! -f "$build/qt6-mingw/lib/cmake/Qt6/Qt6Config.cmake" ] || [ "$c" -nt "$build/qt6-mingw" ]; then
        echo "windows-build: unpacking Qt from $c" >&2
        rm -rf "$build/qt6-mingw"
        tar -xJf "$c" -C "$build"
        touch "$build/qt6-mingw"
    fi
    (cd "$build/qt6-mingw" && pwd)
}
qt=""
if [ $core -eq 0 ]; then
    for c in "${TIRELMA_QT_MINGW:-}" ../shared/qt6-mingw build-qt6-mingw/qt6-mingw; do
        qt=$(qt_from "$c") && break
        qt=""
    done
    [ -n "$qt" ] || echo "windows-build: no Qt for Windows found (see scripts/windows-qt.sh): building the core only" >&2
fi
# Qt's Japanese texts in Qt's own folder too, as an installed Qt has them
# (the zip carries them beside the program).
if [ -n "$qt" ] && [ "$qt" = "$(cd "$build" && pwd)/qt6-mingw" ] && [ ! -f "$qt/translations/qtbase_ja.qm" ]; then
    mkdir -p "$qt/translations"
    cp /usr/share/qt6/translations/qtbase_ja.qm "$qt/translations/"
fi

args=(-DCMAKE_BUILD_TYPE=Release -DTIRELMA_GTEST_SOURCE=/usr/src/googletest)
[ -f "$build/CMakeCache.txt" ] || args+=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake)
if [ -n "$qt" ]; then
    # moc, rcc and uic of the host's Qt (the same version) do the Windows build's generating.
    args+=(-DTIRELMA_GUI=ON "-DCMAKE_PREFIX_PATH=$qt" -DQT_HOST_PATH=/usr
           -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
else
    args+=(-DTIRELMA_GUI=OFF)
fi
cmake -S . -B "$build" -G Ninja "${args[@]}" >/dev/null
cmake --build "$build" -j2

if [ -n "$qt" ]; then
    zip=$(ls "$build"/tirelma-*-windows-x64.zip)
    setup=$(ls "$build"/tirelma-*-windows-x64-setup.exe)
    echo "windows-build: $zip ($(du -k "$zip" | cut -f1) KB) and $setup ($(du -k "$setup" | cut -f1) KB) in $(($(date +%s) - started)) s"
else
    echo "windows-build: the core and its tests in $build, in $(($(date +%s) - started)) s"
fi
