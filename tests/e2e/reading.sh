#!/usr/bin/env bash
# Alt opens the main window, which reads the area at once; Alt+W appends the
# line and closes it; Alt reads again. Text and CSV mode, comment before and
# after. Optional argument: a Qt scale factor for the program.
source "$(dirname "$0")/lib.sh"
scale=${1:-1}
e2e_start
e2e_profile 950 640
e2e_show counter.png 950 640
export QT_SCALE_FACTOR=$scale
e2e_run_program 1
unset QT_SCALE_FACTOR

# Text mode, comment after the reading. The window opens with the answer
# holding the keyboard, as a screen reader hears it: its name and the number.
press_alt
wait_for 100 main_window_open || fail "Alt did not open the main window"
wait_for 50 focused_is text "認識結果" "1234567890" ||
    fail "the answer does not have the keyboard: $(focused_object "$TIRELMA_PID" | tr '\n' '|')"
focus_window "$TIRELMA_PID" '^Tirelma$'
expect_eq "reading shown" "1234567890" "$(text_box "$TIRELMA_PID" "認識結果")"
[ "$scale" = 1 ] && import -window root "$E2E_BUILD/e2e-main-window.png"
xdotool key Tab      # from the answer to the comment box
xdotool type "memo"
xdotool key alt+w
wait_for 30 main_window_closed || fail "Alt+W did not close the window"
expect_eq "text line" "1234567890/memo" "$(result_file "$W/out.txt" | tr -d "\r")"

# Alt again reads again, what the screen shows now.
e2e_show small.bmp 950 640 76x11
open_main_window
xdotool key alt+w
wait_for 30 main_window_closed || fail "Alt+W did not close the window"
expect_eq "second line" "$(printf '1234567890/memo\n-0.5/')" "$(result_file "$W/out.txt" | tr -d '\r')"

# CSV, comment before: the delimiter becomes a comma; the file name stays.
e2e_set CSV True
e2e_set "コメント前" True
e2e_show position.ppm 950 640 76x11
open_main_window
xdotool key Tab
xdotool type "a/b"
xdotool key alt+w
wait_for 30 main_window_closed || fail "Alt+W did not close the window"
expect_eq "CSV line" "a,b,12.34,-5.6" "$(result_file "$W/out.txt" | tr -d '\r' | tail -1)"
expect_eq "CR LF line ends" "3" "$(grep -c $'\r$' "$W/out.txt")"
kill -0 "$TIRELMA_PID" || fail "the program ended"
exit $TEST_FAILED
