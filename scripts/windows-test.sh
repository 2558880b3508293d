#!/usr/bin/env bash
# Runs the Windows build (scripts/windows-build.sh) under wine, each part on
# an X server of its own: every test program (with the windows, also at a
# scale of 150 %); with the whole program built,
# also the zip's file list, tirelma-read.exe from the zip on the examples,
# the resident cycle of tirelma.exe from the zip in a wine desktop, at
# 100 % and at 150 % scale, and the installer (install, start at sign-in,
# update, uninstall) in a fresh prefix.
#
#   scripts/windows-test.sh [unit|unit-150|zip|reader|resident|resident-150|install]...
#
# A failing part leaves a screenshot build-win/windows-failure-<part>.png;
# each test program leaves its log and results in build-win/windows-*.
set -uo pipefail
cd "$(dirname "$0")/.."
export WIN_BUILD=$PWD/build-win WIN_SOURCE=$PWD
[ -f "$WIN_BUILD/CMakeCache.txt" ] || { echo "windows-test: no $WIN_BUILD; run scripts/windows-build.sh" >&2; exit 1; }

parts=("$@")
if [ ${#parts[@]} -eq 0 ]; then
    parts=(unit)
    grep -q '^TIRELMA_GUI:BOOL=ON' "$WIN_BUILD/CMakeCache.txt" && parts+=(unit-150 zip reader resident resident-150 install)
fi
failed=()
for part in "${parts[@]}"; do
    echo "-- Windows: $part"
    start=$(date +%s)
    export WIN_PART=$part
    case $part in
    unit-150) tests/windows/unit.sh 144 ;;
    resident-150) tests/windows/resident.sh 144 ;;
    *) tests/windows/$part.sh ;;
    esac || failed+=("$part")
    echo "-- Windows: $part took $(($(date +%s) - start)) s"
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "windows-test: failed: ${failed[*]}" >&2
    exit 1
fi
echo "windows-test: all passed (${parts[*]})"
