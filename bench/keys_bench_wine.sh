#!/usr/bin/env bash
# The quick key under wine: the Windows program from its zip in a wine
# desktop on Xvfb, the key pressed through XTest (wine hands it to the
# program's RegisterHotKey), timed from its press to the line in the result
# file, every line counted. Needs the Windows build (scripts/windows-build.sh)
# and keylatency (bench/keys_bench.sh builds it).
# Usage: bench/keys_bench_wine.sh [QUICK_PRESSES]   (default 1000)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
quick=${1:-1000}
latency=$root/build-bench/bench/keylatency
[ -x "$latency" ] || cmake --build "$root/build-bench" -j2 --target keylatency >/dev/null || exit 1
export WIN_BUILD=${WIN_BUILD:-$root/build-win} WIN_SOURCE=$root
WIN_IN_DESKTOP=1
source "$root/tests/windows/lib.sh"
win_start
zip=$(win_zip)
[ -n "$zip" ] || { fail "no zip in $WIN_BUILD: run scripts/windows-build.sh"; exit 1; }
win_unzip "$zip" "$W/home"
bin="$W/home/Tirelma"
show_fixture first
demo_profile | iconv -f CP932 -t UTF-8 |
    sed 's/^\[ENDDATA\]\r$/[ENDDATA]\r\nQUICKKEY=Ctrl+Shift+F10\r/' | iconv -f UTF-8 -t CP932 >"$bin/Kavoren.ini"
win_run "$bin" "$bin/tirelma.exe"
wait_for 600 tray_icon_shown || { fail "no icon"; exit 1; }
sleep 1
grep "heard by" "$W/wine.log"
focus "$fixture_window"
echo "== wine: the quick key → the line in the file ($quick presses)"
"$latency" quick "$bin/Kavoren.txt" "$quick" ctrl shift F10 >"$W/quick.txt" || fail "presses lost or doubled"
tail -1 "$W/quick.txt"
exit $TEST_FAILED
