#!/usr/bin/env bash
# The whole teaching cycle from an empty folder, as a new user goes through
# it: Alt opens the main window; its menu opens the editor, which asks for a
# new area at once; the area is chosen and its first group named; the area
# is dragged over a window showing digits and signs; every glyph is cut out
# of the magnified view and registered; the area is stored; OK. The main
# window then reads the window's text exactly, and Alt+W writes it.
source "$(dirname "$0")/lib.sh"
e2e_start
# position.ppm: "12.34,-5.6" in the 5 x 7 font, each cell with one blank
# column to its right and a blank row above and below, 2 columns of margin.
X0=950 Y0=640
e2e_show position.ppm $X0 $Y0
read -r IMG_W IMG_H < <(head -c 20 "$E2E_SOURCE/examples/position.ppm" | sed -n 2p)
e2e_run_program 1

open_main_window
file_menu a # 認識エリア指定、キャラクタ登録(&A)

# No area yet: the name dialog comes at once.
focus_window "$TIRELMA_PID" "新規追加" || fail "no dialog for a new area"
expect_eq "new area dialog" "新規追加" "$(xdotool getactivewindow getwindowname)"
xdotool type "Counter"
xdotool key Tab space   # OK (Enter presses nothing here)
listed() { [ -n "$(where_is "$TIRELMA_PID" "エリア名" "Counter")" ]; }
wait_for 50 listed || fail "the new area is not listed"

# Choosing the new area loads it; with no group yet, a group name is asked.
click_on "$TIRELMA_PID" "エリア名" "Counter"
focus_window "$TIRELMA_PID" "新規追加" || fail "no dialog for a new group"
expect_eq "new group dialog" "新規追加" "$(xdotool getactivewindow getwindowname)"
xdotool type "Digits"
xdotool key Tab space
wait_for 50 not_showing "キャラクタグループ名" || fail "the dialog for a new group stayed"

# Capture by drawing: drag over the window showing the text.
focus_window "$TIRELMA_PID" "認識エリアとキャラクタ登録"
press_to_open alt+p
import -window root "$E2E_BUILD/e2e-overlay.png"
drag $X0 $Y0 $((X0 + IMG_W)) $((Y0 + IMG_H))
wait_for 100 text_is Width "$IMG_W"
import -window root "$E2E_BUILD/e2e-editor.png"
expect_eq "area width" "$IMG_W" "$(text_box "$TIRELMA_PID" Width)"
expect_eq "area left" "$X0" "$(text_box "$TIRELMA_PID" Left)"

# Cut and register every glyph: its cell in the magnified view, ten
# screen pixels per area pixel; the cut snaps to whole cells.
read -r BX BY _ _ < <(where_is "$TIRELMA_PID" "拡大画像")
x=2
for cell in "1 6" "2 6" ". 3" "3 6" "4 6" ", 3" "- 4" "5 6" ". 3" "6 6"; do
    read -r ch w <<<"$cell"
    drag $((BX + 10 * x + 2)) $((BY + 12)) $((BX + 10 * (x + w) - 2)) $((BY + 98))
    click_on "$TIRELMA_PID" "キャラクタ"
    xdotool type -- "$ch"
    click_on "$TIRELMA_PID" "キャラクタ記録"
    x=$((x + w))
done
click_on "$TIRELMA_PID" "認識エリア記録"
focus_window "$TIRELMA_PID" "認識エリアとキャラクタ登録"
xdotool key alt+o   # (&O)K
sleep 1.0

wait_for 100 main_window_open || fail "the main window did not come back"
wait_for 30 text_is "認識結果" "12.34,-5.6"
expect_eq "reading after teaching" "12.34,-5.6" "$(text_box "$TIRELMA_PID" "認識結果")"
focus_window "$TIRELMA_PID" "^Tirelma$"
xdotool key alt+w
wait_for 30 main_window_closed || fail "Alt+W did not close the window"
expect_eq "written line" "12.34,-5.6" "$(result_file "$W/bin/Kavoren.txt" | tr -d '\r')"
expect_eq "registered characters" "1 2 . 3 4 , - 5 6" \
    "$(iconv -f CP932 -t UTF-8 "$W/bin/Kavoren.ini" | grep '^G0ALLCHR=' | cut -d= -f2 | tr -d '\r' | sed 's/\\\\/ /g')"
exit $TEST_FAILED
