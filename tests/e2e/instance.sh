#!/usr/bin/env bash
# A second start says "既に起動されています。" and ends; the first copy keeps
# running with its one icon. A copy that was killed does not block the next.
source "$(dirname "$0")/lib.sh"
e2e_start
e2e_profile 950 640
e2e_run_program 1
first=$TIRELMA_PID

(cd "$W/bin" && exec ./tirelma >"$W/bin/log2" 2>&1) &
second=$!
E2E_PIDS+=($second)
has_box() { [ -n "$(windows_of "$second")" ]; }
wait_for 50 has_box || fail "no message from the second copy"
expect_eq "message" "既に起動されています。" "$(texts_of "$second" | grep -m1 '既に')"
focus_window "$second"
xdotool key Return
wait_for 30 bash -c "! kill -0 $second" || fail "the second copy did not end"
kill -0 "$first" || fail "the first copy ended"
expect_eq "one icon" "1" "$(xwininfo -root -tree | grep -A50 '"panel"' | grep -c '("tirelma" "Tirelma")')"

# A copy that crashed leaves its lock behind; the next start is not blocked.
kill -9 "$first"
wait_for 30 tray_icons_is 0 || fail "the killed copy's icon stayed"
e2e_run_program 3
kill -0 "$TIRELMA_PID" || fail "a start after a crash ended"
[ -z "$(windows_of "$TIRELMA_PID")" ] || fail "a start after a crash was refused: $(texts_of "$TIRELMA_PID")"
exit $TEST_FAILED
