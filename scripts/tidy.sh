#!/usr/bin/env bash
# clang-tidy with the project's .clang-tidy over our own sources, from the
# compile commands of a build (default build-tests, configured if needed).
#
#   scripts/tidy.sh [--all] [BUILD_DIR]
#
# Without --all: settings/, engine/ and tools/, which are kept clean (the test
# command runs this). --all adds every window and platform folder present.
set -euo pipefail
cd "$(dirname "$0")/.."

folders=(settings engine tools)
build=build-tests
for arg in "$@"; do
    case $arg in
    --all) folders+=(platform capture editor mainwin tray app) ;;
    *) build=$arg ;;
    esac
done
[ -f "$build/compile_commands.json" ] || cmake -S . -B "$build" -G Ninja >/dev/null

present=()
for f in "${folders[@]}"; do [ -d "$f" ] && present+=("$f"); done
pattern="^$PWD/($(IFS='|'; echo "${present[*]}"))/"
tidy=$(command -v run-clang-tidy || command -v run-clang-tidy-14)
echo "clang-tidy over ${present[*]}"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
# GCC-only warning options in the compile commands mean nothing to clang.
"$tidy" -quiet -j2 -extra-arg=-Wno-unknown-warning-option -p "$build" "$pattern" >"$log" 2>&1 || status=$?
grep -v -E '^(clang-tidy|[0-9]+ warnings? (and [0-9]+ errors? )?generated|Suppressed|Use -header-filter|Error while processing)' "$log" || true
# Each file checked shows as its command line: no file is no check at all
# (a build whose compile commands name other paths, say).
files=$(grep -c '^clang-tidy' "$log" || true)
if [ "${files:-0}" -eq 0 ]; then
    echo "clang-tidy: no file of ${present[*]} in $build/compile_commands.json" >&2
    exit 1
fi
[ "$status" -eq 0 ] && echo "clang-tidy: clean ($files files)"
exit "$status"
