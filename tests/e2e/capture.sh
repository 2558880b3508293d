#!/usr/bin/env bash
# Captures show the screen under the program's own windows: the editor
# stands over the area it captures with "(S)同じ位置でキャプチャ", and over
# what the overlay's still picture shows; neither contains the editor, and
# the editor stays open, in front and with the keyboard.
# The digits are on the root window's own background, which the X server
# repaints at once when a window goes, so no other program's repaint is
# waited for.
source "$(dirname "$0")/lib.sh"
e2e_start
e2e_profile 100 100
e2e_run_program 1
open_main_window
file_menu a
focus_window "$TIRELMA_PID" "認識エリアとキャラクタ登録" || fail "no editor"
editor=$(windows_of "$TIRELMA_PID" "認識エリアとキャラクタ登録" | tail -1)
read -r EW EH EX EY < <(window_geometry "$editor" | tr 'x+' '  ')

# The digits in the middle of the editor, on the desktop's background.
X=$((EX + EW / 2 - 38)) Y=$((EY + EH / 2 - 5))
convert -size 1280x800 xc:'#3a6ea5' "$E2E_SOURCE/examples/counter.png" -geometry "+$X+$Y" \
    -composite "$W/background.png"
display -window root "$W/background.png" 2>/dev/null
screenshot "$W/editor.png" "${EW}x${EH}+${EX}+${EY}"
find_image "$W/editor.png" "$E2E_SOURCE/examples/counter.png" >/dev/null &&
    fail "the digits show through the editor before any capture"

# (S): the area's fields, then the capture.
set_field() { # name, value
    click_on "$TIRELMA_PID" "$1"
    xdotool key ctrl+a
    xdotool type "$2"
}
set_field Left "$X"
set_field Top "$Y"
set_field Width 76
set_field Height 11
focus_window "$TIRELMA_PID" "認識エリアとキャラクタ登録"
xdotool key alt+s
# The editor is withdrawn for the capture at once (nothing tells from
# outside that it went), then comes back.
sleep 1.5
editor_shown() { [ -n "$(windows_of "$TIRELMA_PID" "認識エリアとキャラクタ登録")" ]; }
wait_for 100 editor_shown
editor=$(windows_of "$TIRELMA_PID" "認識エリアとキャラクタ登録" | tail -1)
# (Without a window, xprop and xwininfo below would wait for a click.)
[ -n "$editor" ] || { fail "the editor closed"; exit $TEST_FAILED; }
read -r EX0 EY0 <<<"$EX $EY"
read -r EW EH EX EY < <(window_geometry "$editor" | tr 'x+' '  ')
expect_eq "editor back where it was" "$EX0,$EY0" "$EX,$EY"
screenshot "$W/captured.png" "${EW}x${EH}+${EX}+${EY}"
if find_image "$W/captured.png" "$E2E_SOURCE/examples/counter.png" >/dev/null; then
    e2e_log "ok: (S) captured the digits under the editor"
else
    fail "(S) did not capture what lies under the editor"
    cp "$W/captured.png" "$E2E_BUILD/e2e-capture-editor.png"
fi
editor_in_front() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$editor" ]; }
wait_for 30 editor_in_front
expect_eq "editor in front" "$editor" "$(xdotool getactivewindow)"
xprop -id "$editor" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "the editor is no longer on top"
expect_eq "editor fields kept" "$X" "$(text_box "$TIRELMA_PID" Left)"

# The overlay's still picture: the digits where the editor stood.
press_to_open alt+p
overlay_differs() {
    screenshot "$W/overlay.png" "76x11+$X+$Y"
    compare -metric AE "$W/overlay.png" "$E2E_SOURCE/examples/counter.png" null: 2>&1
}
no_difference() { [ "$(overlay_differs)" = 0 ]; }
wait_for 50 no_difference
expect_eq "overlay shows what is under the editor" "0" "$(overlay_differs)"
before=$(windows_count)
xdotool key Escape
wait_for 50 fewer_windows_than "$before" || fail "Escape did not close the overlay"
expect_eq "editor open after the overlay" "$editor" "$(windows_of "$TIRELMA_PID" "認識エリアとキャラクタ登録" | tail -1)"
exit $TEST_FAILED
