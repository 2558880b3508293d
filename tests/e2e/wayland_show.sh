#!/usr/bin/env bash
# `tirelma --show` again and again on a Wayland desktop without a
# notification area (GNOME as it ships): the main window opened from the
# stand-in's button and closed with Alt+W, then --show many times, each
# asking the running copy, which answers at once and opens the main window
# and reads; the screen through wlr-screencopy, then through the portal.
# The times are logged, not judged: a --show must end, with 0, and the
# window must come, every time.
source "$(dirname "$0")/wayland_lib.sh"
ROUNDS=${E2E_SHOW_ROUNDS:-10}
export E2E_NO_TRAY=1
# The program's windows float at their own size, as on a stacking desktop:
# tiled, the stand-in would cover the area that is read.
export E2E_SWAY_CONFIG='for_window [title="^Tirelma"] floating enable'
wl_picture "$W/desk.png" 1280 800 counter.png 950 640
wl_start "$W/desk.png"
# The portal up before the program, as at a desktop's login.
wl_start_portal
wl_profile 950 640
ms() { echo $(($(date +%s%N) / 1000000)); }
atspi() { /usr/bin/python3 "$E2E_SOURCE/tests/e2e/atspi.py" "$@" 2>/dev/null; }
reading_shown() { text_is "認識結果" "1234567890"; }
main_closed() { [ "$(atspi showing "$TIRELMA_PID" "認識結果")" = no ]; }
lines() { grep -c 1234567890 "$W/out.txt" 2>/dev/null || echo 0; }

# Alt+W in the main window: the line written, the window gone.
write_and_close() { # what
    local before
    before=$(lines)
    wtype -M alt w -m alt
    wait_for 50 main_closed || fail "Alt+W did not close the main window ($1)"
    wait_for 30 test "$(lines)" -gt "$before" || fail "Alt+W wrote no line ($1)"
}

# The stand-in's button, pressed.
open_from_stand_in() { # what
    press "$TIRELMA_PID" "認識フォーム表示"
    wait_for 100 reading_shown || fail "the stand-in's button did not read ($1)"
}

rounds() { # way
    local round t0 t1 rc slowest=0 total=0
    wait_for 100 stand_in || { fail "no stand-in ($1)"; return; }
    open_from_stand_in "$1"
    write_and_close "$1, from the stand-in"
    for round in $(seq "$ROUNDS"); do
        t0=$(ms)
        # A --show that hangs is caught, not waited for.
        timeout 30 "$W/bin/tirelma" --show >"$W/show.out" 2>&1
        rc=$?
        t1=$(ms)
        expect_eq "--show ends with 0 ($1, $round)" 0 "$rc"
        [ -s "$W/show.out" ] && test_log "--show said: $(cat "$W/show.out")"
        wait_for 100 reading_shown || fail "--show did not read ($1, $round)"
        e2e_log "--show ($1, $round): ended after $((t1 - t0)) ms, reading shown after $(($(ms) - t0)) ms"
        total=$((total + t1 - t0))
        [ $((t1 - t0)) -gt $slowest ] && slowest=$((t1 - t0))
        write_and_close "$1, $round"
        # Now and then the stand-in's button again, between the commands.
        if [ $((round % 4)) -eq 0 ]; then
            open_from_stand_in "$1, $round"
            write_and_close "$1, $round, from the stand-in"
        fi
    done
    e2e_log "--show ($1): $ROUNDS rounds, mean $((total / ROUNDS)) ms, slowest $slowest ms to end"
}
stand_in() { texts_of "$TIRELMA_PID" | grep -q '通知領域がないため'; }

start_program() { # log suffix
    (cd "$W/bin" && exec ./tirelma >"$W/bin/log$1" 2>&1) &
    TIRELMA_PID=$!
    WL_PIDS+=($TIRELMA_PID)
}

start_program 1
rounds screencopy
expect_eq "the copy still runs (screencopy)" 0 "$(kill -0 "$TIRELMA_PID" 2>/dev/null; echo $?)"
kill "$TIRELMA_PID"
wait "$TIRELMA_PID" 2>/dev/null

# Through the portal, as on GNOME: the reading waits in a loop of its own
# for the portal's answer.
export TIRELMA_WAYLAND_CAPTURE=portal
start_program 2
rounds portal
expect_eq "the copy still runs (portal)" 0 "$(kill -0 "$TIRELMA_PID" 2>/dev/null; echo $?)"
exit $TEST_FAILED
