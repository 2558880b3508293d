#!/usr/bin/env bash
# What typing into the previous window costs after a write, on a real X
# server (Xvfb, openbox, a notification area), for the program as built in
# Release: Alt opens the main window over another program's text window,
# Alt+W writes, and the time from W going down to the answer (and the Tab
# after it) in that window is taken (keylatency typed). The main window has
# to close and the focus come back, and every key be let go, before a key
# is typed: that wait is most of it.
# Usage: bench/typing_bench.sh [PRESSES]   (default 20)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
presses=${1:-20}
build=$root/build-bench
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTIRELMA_BENCH=ON \
    -DTIRELMA_TESTS=ON >/dev/null || exit 1
cmake --build "$build" -j2 --target tirelma showimage textpad keylatency >/dev/null || exit 1
export E2E_BUILD=$build E2E_SOURCE=$root
source "$root/tests/e2e/lib.sh"
e2e_start
e2e_profile 950 640
iconv -f CP932 -t UTF-8 "$W/bin/Kavoren.ini" |
    sed 's/^\[ENDDATA\]\r$/[ENDDATA]\r\nTYPEINTO=True\r\nTYPEAFTER=Tab\r/' |
    iconv -f UTF-8 -t CP932 >"$W/edit.ini" && mv "$W/edit.ini" "$W/bin/Kavoren.ini"
e2e_show counter.png 950 640
e2e_run_program 1
"$build/tests/e2e/textpad" pad "$W/pad.txt" &
E2E_PIDS+=($!)
pad() { xdotool search --onlyvisible --name '^pad$' 2>/dev/null | head -1; }
pad_shown() { [ -n "$(pad)" ]; }
wait_for 100 pad_shown || fail "no text window"
xdotool windowactivate --sync "$(pad)"
sleep 0.5
echo "== Alt+W → \"1234567890\" and Tab in another program's window ($presses presses)"
# 1234567890 and a Tab: 11 bytes of the window's text each time.
"$build/bench/keylatency" typed "$W/pad.txt" "$presses" 11 >"$W/typed.txt" || fail "presses lost or doubled"
tail -1 "$W/typed.txt"
expect_eq "lines written" "$presses" "$(result_file "$W/out.txt" | grep -c .)"
exit $TEST_FAILED
