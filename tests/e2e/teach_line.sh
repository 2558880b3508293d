#!/usr/bin/env bash
# A new user's first reading, from an empty folder, with blanks between the
# numbers: the main window says what to do first; the editor asks for the
# first area and group at once (Enter answers); the area is dragged over a
# line of about 300 x 30 pixels; the whole line is typed and taught in one
# step; every control of the editor is on the screen; the editor's reading
# check agrees and tells the blank width, which is set with a delimiter; OK
# asks to store the area; the main window then reads exactly the line, with
# the delimiter at the blanks, and Alt+W writes it.
# Optional argument: a Qt scale factor for the program.
source "$(dirname "$0")/lib.sh"
scale=${1:-1}
e2e_start
LINE="-12.5 340.75 9 0.6 812"
READ="-12.5,340.75,9,0.6,812"
read -r IMG_W IMG_H < <(python3 "$E2E_SOURCE/tests/e2e/fixture/line.py" "$LINE" 2 "$W/line.ppm")
# Low on the screen: the editor, where it opens, does not cover it.
X0=40 Y0=700
e2e_show "$(realpath --relative-to="$E2E_SOURCE/examples" "$W/line.ppm")" $X0 $Y0
export QT_SCALE_FACTOR=$scale
e2e_run_program 1
unset QT_SCALE_FACTOR
EDITOR="認識エリアとキャラクタ登録"
# The accessibility bus gives places in the program's own (scaled) pixels.
click() { # name [item]
    local x y w h
    read -r x y w h < <(where_is "$TIRELMA_PID" "$@") || { fail "nothing named $1"; return 1; }
    xdotool mousemove $(((x + w / 2) * scale)) $(((y + h / 2) * scale)) click 1
    sleep 0.3
}

open_main_window
texts_of "$TIRELMA_PID" | grep -q "読み取る場所 (認識エリア) がまだありません" ||
    fail "the main window does not say what to do first"
expect_eq "no text in the answer" "" "$(text_box "$TIRELMA_PID" "認識結果")"
file_menu a # 認識エリア指定、キャラクタ登録(&A)

# The first area, then its group, asked for at once; Enter is OK. Then the
# capture by drawing over the line.
first_area_and_group "Coords" "Digits"
capture_by_drawing $X0 $Y0 "$IMG_W" "$IMG_H"
expect_eq "area width" "$IMG_W" "$(text_box "$TIRELMA_PID" Width)"
expect_eq "area height" "$IMG_H" "$(text_box "$TIRELMA_PID" Height)"

# The whole line in one step.
click "1行の文字："
xdotool type -- "$LINE"
click "1行まとめて記録"
check() { texts_of "$TIRELMA_PID" | grep -A3 "^読み取り結果："; }
checked() { check | grep -qx "読み取り結果：${READ//,/}"; }
wait_for 30 checked || fail "reading check: $(check)"
check | grep -qx "1行の文字と一致しています。" || fail "the reading check does not agree: $(check)"
width=$(check | sed -n 's/^空白の幅を \([0-9]*\) にすると.*/\1/p')
[ -n "$width" ] || fail "no blank width suggested: $(check)"
expect_eq "registered characters" "- 1 2 . 5 3 4 0 7 9 6 8" \
    "$(iconv -f CP932 -t UTF-8 "$W/bin/Kavoren.ini" | grep '^G0ALLCHR=' | cut -d= -f2 | tr -d '\r' | sed 's/\\\\/ /g')"

# The delimiter and the suggested blank width; the check follows.
click "区切りキャラクタ："
xdotool type ","
click "空白の幅："
xdotool type "$width"
sleep 0.5
wait_for 30 sh -c "$(declare -f texts_of); texts_of $TIRELMA_PID | grep -qx '読み取り結果：$READ'" ||
    fail "the reading check does not put the delimiter at the blanks: $(check)"

# Every control on the screen (the magnified picture scrolls inside its view).
ed=$(windows_of "$TIRELMA_PID" "$EDITOR" | tail -1)
off=$(/usr/bin/python3 "$E2E_SOURCE/tests/e2e/atspi.py" outside "$TIRELMA_PID" "$EDITOR" \
      0 0 $((1280 / scale)) $((800 / scale)) 2>&1)
expect_eq "controls off the screen" "" "$off"
read -r _ _ fw fh < <(xdotool getwindowgeometry "$ed" | awk '/Geometry/ {split($2, s, "x"); print 0, 0, s[1], s[2]}')
[ "$fw" -le 1280 ] && [ "$fh" -le 800 ] || fail "editor larger than the screen: ${fw}x${fh}"
import -window root "$E2E_BUILD/e2e-teach-line-$scale.png"

# OK: the area was never stored; yes (Enter) stores it.
focus_window "$TIRELMA_PID" "$EDITOR"
xdotool key alt+o
focus_window "$TIRELMA_PID" "^Tirelma$" || fail "no question before closing"
texts_of "$TIRELMA_PID" | grep -q "認識エリア「Coords」はまだ記録されていません。" ||
    fail "no question about the unstored area"
xdotool key Return
wait_for 100 main_window_open || fail "the main window did not come back"
wait_for 50 text_is "認識結果" "$READ"
expect_eq "reading with delimiters at the blanks" "$READ" "$(text_box "$TIRELMA_PID" "認識結果")"
expect_eq "blank width stored" "$width" \
    "$(iconv -f CP932 -t UTF-8 "$W/bin/Kavoren.ini" | grep '^BLANKWIDTH=' | cut -d= -f2 | tr -d '\r')"
focus_window "$TIRELMA_PID" "^Tirelma$"
xdotool key alt+w
wait_for 30 main_window_closed || fail "Alt+W did not close the window"
expect_eq "written line" "$READ," "$(result_file "$W/bin/Kavoren.txt" | tr -d '\r')"
exit $TEST_FAILED
