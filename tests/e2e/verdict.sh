#!/usr/bin/env bash
# No reading that cannot be trusted is written without a sign: a character
# missing from the group is framed in red with a line under the answer, and
# Alt+W asks first (Escape writes nothing, はい writes the reading); the
# area's key writes without asking; an area moved off the screen is said and
# asked about; and a screen grown with RandR while the program runs is read
# exactly on its new part.
source "$(dirname "$0")/lib.sh"
E2E_SCREEN=2560x800x24 # the largest the screen becomes; it starts at 1280x800
e2e_start
setscreen() { "$E2E_BUILD/tests/e2e/setmonitors" --size "$@" >/dev/null || fail "screen $*"; }
setscreen 1280x800 A:1280x800+0+0:primary
e2e_profile 950 640
# "." never taught: the group of the demo profile without it.
profile_edit() { # sed expression
    iconv -f CP932 -t UTF-8 "$W/bin/Kavoren.ini" | sed "$1" | iconv -f UTF-8 -t CP932 > "$W/edit.ini"
    mv "$W/edit.ini" "$W/bin/Kavoren.ini"
}
profile_edit 's/^G0ALLCHR=\(.*\)\\\\\.\\\\\(.*\)$/G0ALLCHR=\1\\\\\2/'
e2e_show position.ppm 950 640 76x11
e2e_run_program 1

notice() { texts_of "$TIRELMA_PID" | grep -c "$1" || true; }
question_open() { [ -n "$(windows_of "$TIRELMA_PID" '^Tirelma$' | sed -n 2p)" ] && notice "このまま書き込みますか" | grep -qv '^0$'; }

# The reading as it is, the red frames and the line under it.
open_main_window
expect_eq "reading without the dots" "1234,-56" "$(text_box "$TIRELMA_PID" "認識結果")"
[ "$(notice "読み取れない部分があります")" -ge 1 ] && e2e_log "ok: the line under the answer" \
    || fail "no line under the answer: $(texts_of "$TIRELMA_PID" | tr '\n' '|')"
# Heard with the answer, which has the keyboard: the notice is its description.
focused_object "$TIRELMA_PID" | sed -n 4p | grep -q "読み取れない部分があります" &&
    e2e_log "ok: the notice is the answer's description" ||
    fail "the answer's description lacks the notice: $(focused_object "$TIRELMA_PID" | tr '\n' '|')"
import -window "$(main_window)" "$W/main.png"
cp "$W/main.png" "$E2E_BUILD/e2e-verdict-main-window.png"
red=$(convert "$W/main.png" -fill black +opaque "#E00000" -fill white -opaque "#E00000" -format "%[fx:round(mean*w*h)]" info:)
[ "$red" -ge 8 ] && e2e_log "ok: red frames ($red pixels)" || fail "no red frames ($red pixels)"

# Alt+W asks; Escape writes nothing and the window stays.
xdotool key alt+w
wait_for 50 question_open || fail "Alt+W did not ask"
xdotool key Escape
sleep 0.5
[ -f "$W/out.txt" ] && fail "Escape wrote: $(result_file "$W/out.txt")"
main_window_open && e2e_log "ok: the window stays after Escape" || fail "the window closed on Escape"
# はい writes the reading as it is.
focus_window "$TIRELMA_PID" '^Tirelma$'
xdotool key alt+w
wait_for 50 question_open || fail "Alt+W did not ask again"
xdotool key alt+y
wait_for 30 main_window_closed || fail "はい did not close the window"
expect_eq "はい writes the reading" "1234,-56/" "$(result_file "$W/out.txt" | tr -d '\r')"

# The area's key: written without a question.
profile_edit 's/^HEIGHT=11\r$/HEIGHT=11\r\nWRITEUNREAD=True\r/'
open_main_window
xdotool key alt+w
wait_for 30 main_window_closed || fail "the area's key did not write at once"
expect_eq "written without asking" "$(printf '1234,-56/\n1234,-56/')" "$(result_file "$W/out.txt" | tr -d '\r')"

# The area moved off every screen: nothing read as white, said, asked about.
profile_edit 's/^WRITEUNREAD=True\r$/WRITEUNREAD=False\r/'
e2e_set LEFT 5000
open_main_window
[ "$(notice "どのモニターの上にもない")" -ge 1 ] && e2e_log "ok: off the screen is said" \
    || fail "off the screen not said: $(texts_of "$TIRELMA_PID" | tr '\n' '|')"
xdotool key alt+w
wait_for 50 question_open || fail "Alt+W did not ask for an area off the screen"
xdotool key Escape
sleep 0.3
focus_window "$TIRELMA_PID" '^Tirelma$'
xdotool key alt+F4
wait_for 30 main_window_closed || fail "the window did not close"
expect_eq "nothing more written" 2 "$(result_file "$W/out.txt" | wc -l)"

# The screen grows to two monitors while the program runs: an area on the
# new one is read exactly, with the whole group.
setscreen 2560x800 A:1280x800+0+0:primary B:1280x800+1280+0
e2e_profile 1700 300
e2e_show counter.png 1700 300
open_main_window
expect_eq "reading on the added monitor" "1234567890" "$(text_box "$TIRELMA_PID" "認識結果")"
expect_eq "nothing to tell there" 0 "$(notice "読み取れない")"
# The overlay covers the added monitor with what it shows: an area dragged
# there is captured and read exactly.
file_menu a # 認識エリア指定、キャラクタ登録(&A)
capture_by_drawing 1700 300 76 11
expect_eq "dragged on the added monitor" 1700 "$(text_box "$TIRELMA_PID" Left)"
[ "$(notice "読み取り結果：1234567890")" -ge 1 ] && e2e_log "ok: the capture there reads" \
    || fail "the capture on the added monitor: $(texts_of "$TIRELMA_PID" | grep 読み取り結果)"
exit $TEST_FAILED
