#!/usr/bin/env bash
# Builds the core (settings/, engine/) and its tests for Windows with
# mingw-w64 and runs the tests under wine: the Win32 branches of the profile
# store (code page 932 through WideCharToMultiByte, file replacement through
# MoveFileEx) run for real. Needs g++-mingw-w64-x86-64-posix, wine64 and
# googletest (./scripts/install-deps.sh test installs them).
set -euo pipefail
cd "$(dirname "$0")/.."

wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
missing=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-x86-64-posix)
[ -x "$wine" ] || missing+=(wine64)
[ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(googletest)
if [ ${#missing[@]} -gt 0 ]; then
    echo "windows-core: missing ${missing[*]} (apt-get install -y ${missing[*]})" >&2
    exit 1
fi

build=build-windows
toolchain=()
[ -f "$build/CMakeCache.txt" ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake)
cmake -S . -B "$build" -G Ninja "${toolchain[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTIRELMA_GUI=OFF -DTIRELMA_GTEST_SOURCE=/usr/src/googletest >/dev/null
tests=(settings_tests engine_tests robustness_tests)
cmake --build "$build" -j2 --target "${tests[@]}"

# A wine prefix of our own, without the Mono and Gecko installers.
export WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
fail=0
for t in "${tests[@]}"; do
    exe=$(find "$build/tests" -name "$t.exe" | head -n 1)
    echo "-- $t.exe under wine"
    "$wine" "$exe" --gtest_brief=1 || fail=1
done
"$(dirname "$wine")/wineserver" -k 2>/dev/null || wineserver -k 2>/dev/null || true
exit $fail
