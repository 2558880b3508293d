#!/usr/bin/env bash
# After a write the answer is typed into the window the user worked in
# before the main window opened, followed by Tab or Enter as chosen, and the
# user's own command runs with the reading in its environment: both set in
# the output settings dialog with the keyboard, as a user does. Nothing is
# typed where another window has the focus by then; a command that cannot
# run is said, and the line is in the result file all the same.
source "$(dirname "$0")/lib.sh"
e2e_start
e2e_profile 950 640
e2e_show counter.png 950 640
e2e_run_program 1

stored() { iconv -f CP932 -t UTF-8 "$W/bin/Kavoren.ini" | grep "^$1=" | tr -d '\r'; }
lines() { result_file "$W/out.txt" | tr -d '\r' | grep -c . ; }
pad_is() { [ "$(cat "$1")" = "$(printf "$2")" ]; }
pad_shown() { [ -n "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ]; }
# A text window of another program; its text goes to $W/NAME.txt.
start_pad() { # name, x
    "$E2E_BUILD/tests/e2e/textpad" "$1" "$W/$1.txt" &
    E2E_PIDS+=($!)
    wait_for 100 pad_shown "$1" || fail "no $1 window"
    xdotool windowmove --sync "$(xdotool search --onlyvisible --name "^$1\$" | head -1)" "$2" 100
}
use_pad() { xdotool windowactivate --sync "$(xdotool search --onlyvisible --name "^$1\$" | head -1)"; sleep 0.3; }

# From the file name: ファイル指定, the comment pair, 刻み, CSV書き込み,
# the header, time, notice and clipboard boxes, then 前のウィンドウに入力.
open_main_window
file_menu w
sleep 0.5
focus_window "$TIRELMA_PID" || fail "no output settings dialog"
xdotool key Tab Tab Tab Tab Tab Tab Tab Tab Tab space   # 前のウィンドウに入力
xdotool key Tab Down                                    # 続けて Tab
xdotool key Tab space Tab                               # 書き込み後に実行, its command
xdotool type "sh -c 'printf \"%s|%s\\n\" \"\$TIRELMA_ANSWER\" \"\$TIRELMA_LINE\" >> command.txt'"
xdotool key Return                                      # OK
wait_for 50 main_window_open || fail "the main window did not come back"
focus_window "$TIRELMA_PID" '^Tirelma$'
xdotool key alt+F4
wait_for 30 main_window_closed || fail "the main window stayed open"
expect_eq "stored typing" "TYPEINTO=True" "$(stored TYPEINTO)"
expect_eq "stored key after" "TYPEAFTER=Tab" "$(stored TYPEAFTER)"
expect_eq "stored command switch" "RUNCOMMAND=True" "$(stored RUNCOMMAND)"
expect_eq "stored command" "COMMAND=sh -c 'printf \"%s|%s\\n\" \"\$TIRELMA_ANSWER\" \"\$TIRELMA_LINE\" >> command.txt'" "$(stored COMMAND)"

# Alt, Alt+W: the answer arrives in the pad, then Tab; once more with Enter.
start_pad pad 100
use_pad pad
open_main_window
xdotool key alt+w
wait_for 30 main_window_closed || fail "Alt+W did not close the window"
wait_for 50 pad_is "$W/pad.txt" '1234567890\t' || fail "not typed into the pad: '$(cat "$W/pad.txt")'"
e2e_set TYPEAFTER Enter
open_main_window
xdotool key alt+w
wait_for 50 pad_is "$W/pad.txt" '1234567890\t1234567890\n' || fail "not typed with Enter: '$(cat "$W/pad.txt")'"
e2e_log "ok: typed into the pad, with Tab, then with Enter"
# The command ran after each write, in the profile's folder.
ran_twice() { [ "$(grep -c . "$W/bin/command.txt" 2>/dev/null)" = 2 ]; }
wait_for 50 ran_twice || fail "the command did not run twice"
expect_eq "command's reading" "1234567890|$(result_file "$W/out.txt" | tr -d '\r' | tail -1)" "$(tail -1 "$W/bin/command.txt")"

# Another window has the focus when the main window has gone: nothing is
# typed anywhere, and the user is told.
start_pad other 500
use_pad pad
open_main_window
use_pad other
focus_window "$TIRELMA_PID" '^Tirelma$'
xdotool key alt+w
wait_for 30 main_window_closed || fail "Alt+W did not close the window"
told_not_typed() { texts_of "$TIRELMA_PID" | grep -q "入力しませんでした"; }
wait_for 60 told_not_typed || fail "not told that nothing was typed: $(texts_of "$TIRELMA_PID" | tr '\n' ' ')"
expect_eq "pad after another window took the focus" "$(printf '1234567890\t1234567890\n')" "$(cat "$W/pad.txt")"
expect_eq "the other window" "" "$(cat "$W/other.txt")"
expect_eq "lines written" 3 "$(lines)"

# A command that does not exist: said, and the line is written.
e2e_set COMMAND /nonexistent/tool
e2e_set TYPEINTO False
open_main_window
xdotool key alt+w
told_not_run() { texts_of "$TIRELMA_PID" | grep -q "「/nonexistent/tool」を実行できませんでした"; }
wait_for 60 told_not_run || fail "not told that the command could not run: $(texts_of "$TIRELMA_PID" | tr '\n' ' ')"
expect_eq "lines written" 4 "$(lines)"
exit $TEST_FAILED
