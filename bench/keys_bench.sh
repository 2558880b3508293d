#!/usr/bin/env bash
# The way from a key to what the user sees, on a real X server (Xvfb,
# openbox, a notification area), for the program as built in Release:
#  - Alt let go → the answer in the main window's answer box on the screen,
#    heard as XInput 2 events and, on a server without them, by the 100 ms
#    look at the keyboard, in one run;
#  - the quick key → the line in the result file, counting every line so
#    that a press lost or written twice shows.
# Usage: bench/keys_bench.sh [PRESSES [QUICK_PRESSES]]   (default 200, 1000)
# Builds into build-bench (Release) what it needs.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
presses=${1:-200}
quick=${2:-1000}
build=$root/build-bench
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTIRELMA_BENCH=ON \
    -DTIRELMA_TESTS=ON >/dev/null || exit 1
cmake --build "$build" -j2 --target tirelma showimage keylatency >/dev/null || exit 1
export E2E_BUILD=$build E2E_SOURCE=$root
source "$root/tests/e2e/lib.sh"
latency=$build/bench/keylatency
summary=()

one_way() { # events | poll
    [ "$1" = poll ] && E2E_XVFB_ARGS=(-extension "Generic Event Extension") || E2E_XVFB_ARGS=()
    e2e_start
    e2e_profile 950 640
    # The quick key, stored as the dialog stores it.
    iconv -f CP932 -t UTF-8 "$W/bin/Kavoren.ini" |
        sed 's/^\[ENDDATA\]\r$/[ENDDATA]\r\nQUICKKEY=Ctrl+Shift+F10\r/' |
        iconv -f UTF-8 -t CP932 >"$W/edit.ini" && mv "$W/edit.ini" "$W/bin/Kavoren.ini"
    e2e_show counter.png 950 640
    e2e_run_program 1
    grep "heard by" "$W/bin/log1"
    # Where the answer box is, from the window opened once.
    open_main_window
    wait_for 30 text_is "認識結果" "1234567890" || { fail "no reading"; return 1; }
    local box
    box=$(where_is "$TIRELMA_PID" "認識結果")
    xdotool key alt+w
    wait_for 30 main_window_closed || { fail "the main window stayed"; return 1; }
    read -r x y w h <<<"$box"
    echo "== $1: Alt let go → the answer on the screen ($presses presses, box $w x $h at $x,$y)"
    "$latency" read "$x" "$y" "$w" "$h" "$presses" >"$W/read.txt" || fail "presses lost"
    tail -1 "$W/read.txt"
    summary+=("$1 Alt → answer: $(tail -1 "$W/read.txt")")
    if [ "$1" = events ]; then
        echo "== the quick key → the line in the file ($quick presses)"
        "$latency" quick "$W/out.txt" "$quick" ctrl shift F10 >"$W/quick.txt" || fail "presses lost or doubled"
        tail -1 "$W/quick.txt"
        summary+=("quick key → line: $(tail -1 "$W/quick.txt")")
    fi
    e2e_cleanup
    trap - EXIT
    E2E_PIDS=() FIXTURE_PID=
}

one_way events
one_way poll
echo "== summary"
printf '%s\n' "${summary[@]}"
exit $TEST_FAILED
