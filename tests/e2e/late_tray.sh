#!/usr/bin/env bash
# Started before the desktop's notification area, as at a login where the
# panel comes up after the programs of the start-up list: the program offers
# the icon's commands in a small window meanwhile, and once the area is
# there its icon goes in, the small window goes away, and Alt reads as ever.
source "$(dirname "$0")/lib.sh"
E2E_NO_TRAY=1 e2e_start
e2e_profile 950 640
e2e_show counter.png 950 640
(cd "$W/bin" && exec ./tirelma >"$W/bin/log1" 2>&1) &
TIRELMA_PID=$!
E2E_PIDS+=($TIRELMA_PID)

stand_in() { windows_of "$TIRELMA_PID" '^Tirelma$' | head -1; }
stand_in_shown() { [ -n "$(stand_in)" ]; }
wait_for 100 stand_in_shown || fail "no window with the icon's commands without a notification area"
texts_of "$TIRELMA_PID" | grep -q "通知領域がないため" || fail "the window does not say why it is there"
tray_icons_is 0 || fail "an icon without a notification area"

e2e_tray
wait_for 100 tray_icons_is 1 || fail "no icon once the notification area is there"
stand_in_gone() { ! stand_in_shown; }
wait_for 50 stand_in_gone || fail "the window with the icon's commands stayed"

open_main_window
wait_for 30 text_is "認識結果" "1234567890" || fail "no reading"
xdotool key alt+w
wait_for 30 main_window_closed || fail "Alt+W did not close the main window"
expect_eq "written" "1234567890/" "$(result_file "$W/out.txt" | tr -d '\r')"
kill -0 "$TIRELMA_PID" || fail "the program ended"
exit $TEST_FAILED
