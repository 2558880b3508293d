#!/usr/bin/env bash
# The output settings dialog changes the result file, the CSV mode and the
# copy to the clipboard, and the next write follows them; a result file in a
# missing folder gives way to Kavoren.txt beside the program, with a message
# that says where it went.
source "$(dirname "$0")/lib.sh"
e2e_start
e2e_profile 950 640
e2e_show counter.png 950 640
e2e_run_program 1

open_dialog() {
    open_main_window
    file_menu w           # ﾌｧｲﾙ(&F) > 書き込みファイル指定(&W)
    sleep 0.5
    focus_window "$TIRELMA_PID" || fail "no output settings dialog"
}

# File name (the focus starts in it), then Tab order: ファイル指定, the option
# pair (one stop), 刻み, CSV書き込み, OK, ｷｬﾝｾﾙ.
open_dialog
xdotool key ctrl+a
xdotool type "$W/new.txt"
xdotool key Tab Tab Tab Tab space   # check CSV: the name becomes new.csv
xdotool key Tab Tab Tab Tab space   # past the header, time and notice boxes: クリップボードにもコピー
xdotool key Return                  # OK, the default button away from the other buttons
wait_for 50 main_window_open || fail "the main window did not come back"
focus_window "$TIRELMA_PID" '^Tirelma$'
sleep 0.4
xdotool key alt+w
wait_for 30 main_window_closed || fail "the window stayed open"
expect_eq "stored file name" "FILENAME=$W/new.csv" "$(iconv -f CP932 -t UTF-8 "$W/bin/Kavoren.ini" | grep '^FILENAME=' | tr -d '\r')"
expect_eq "CSV line in the new file" "1234567890," "$(result_file "$W/new.csv" | tr -d '\r')"
# The answer stays on the clipboard after the window has closed (the
# program keeps it while it runs).
expect_eq "clipboard" "1234567890" "$(timeout 5 xclip -o -selection clipboard)"
expect_eq "stored clipboard switch" "CLIPBOARD=True" "$(iconv -f CP932 -t UTF-8 "$W/bin/Kavoren.ini" | grep '^CLIPBOARD=' | tr -d '\r')"
[ -f "$W/out.txt" ] && fail "the old file was written"

# A file in a folder that does not exist (an unplugged drive): the line goes
# to Kavoren.txt beside the program, and a message says so before the window
# closes.
open_dialog
xdotool key ctrl+a
xdotool type "$W/missing/folder/x.txt"
xdotool key Return
wait_for 50 main_window_open || fail "the main window did not come back"
focus_window "$TIRELMA_PID" '^Tirelma$'
sleep 0.4
xdotool key alt+w
told() { texts_of "$TIRELMA_PID" | grep -q "結果は次のファイルに書き込みました"; }
wait_for 50 told || fail "no message telling where the line went"
message=$(texts_of "$TIRELMA_PID" | tr '\n' ' ')
case $message in
*"$W/missing/folder"*"$W/bin/Kavoren.txt"*) e2e_log "ok: the message names the missing folder and Kavoren.txt" ;;
*) fail "the message does not name the folder and the file: $message" ;;
esac
expect_eq "fallback file" "1234567890," "$(result_file "$W/bin/Kavoren.txt" | tr -d '\r')"
focus_window "$TIRELMA_PID" '^Tirelma$'
xdotool key Return
wait_for 30 main_window_closed || fail "the window stayed open"
[ -e "$W/missing" ] && fail "the missing folder was created"
exit $TEST_FAILED
