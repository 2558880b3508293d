#!/usr/bin/env bash
# The icon: a double click opens the main window; its menu offers
# "認識フォーム表示" and "終了"; "終了" removes the icon and ends the program.
source "$(dirname "$0")/lib.sh"
e2e_start
e2e_profile 950 640
e2e_show counter.png 950 640
e2e_run_program 1
icon=$(icon_window)

xdotool mousemove --window "$icon" 11 15 click 1
sleep 0.6
main_window_open && fail "a single click opened the main window"
xdotool mousemove --window "$icon" 11 15 click --repeat 2 --delay 80 1
wait_for 50 main_window_open || fail "a double click did not open the main window"
focus_window "$TIRELMA_PID" '^Tirelma$'
xdotool key alt+w
wait_for 30 main_window_closed
expect_eq "double click read" "1234567890/" "$(result_file "$W/out.txt" | tr -d '\r')"

# The menu: first entry opens the main window...
press_to_open_icon_menu() {
    local before
    before=$(windows_count)
    xdotool mousemove --window "$icon" 11 15 click 3
    wait_for 50 more_windows_than "$before" || fail "the icon's menu did not open"
}
press_to_open_icon_menu
xdotool key Down Return
wait_for 50 main_window_open || fail "認識フォーム表示 did not open the main window"
focus_window "$TIRELMA_PID" '^Tirelma$'
xdotool key alt+w
wait_for 30 main_window_closed || fail "Alt+W did not close the main window"
# ...the second ends the program, icon first.
press_to_open_icon_menu
xdotool key Up Return
wait_for 50 bash -c "! kill -0 $TIRELMA_PID" || fail "終了 did not end the program"
expect_eq "icon removed" "0" "$(xwininfo -root -tree | grep -A50 '"panel"' | grep -c '("tirelma" "Tirelma")')"
exit $TEST_FAILED
