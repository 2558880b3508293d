#!/usr/bin/env bash
# The area overlay on a Wayland desktop: it shows every output's still
# picture as the output showed it, without the program's own windows, and a
# drag gives the exact rectangle in physical pixels, whatever the output's
# scale. sway's pointer moves in logical pixels.
#   wayland_overlay.sh single SCALE   one 1280x800 output at SCALE
# At a fractional scale no client here draws pixel for pixel (Qt 6.4 and
# swaybg draw at the next whole scale and the compositor shrinks the
# picture): there only the rectangle is checked.
#   wayland_overlay.sh pair           one at scale 2, one at 1 to its right
source "$(dirname "$0")/wayland_lib.sh"
layout=${1:-single}
scale=${2:-1}
if [ "$layout" = pair ]; then
    scale=2
    E2E_OUTPUTS=$(printf '%s\n' "output HEADLESS-1 scale 2" \
        "output HEADLESS-2 resolution 1280x800 position 640 0 scale 1")
    wl_picture "$W/right.png" 1280 800 position.ppm 404 188
else
    E2E_OUTPUTS="output HEADLESS-1 scale $scale"
fi
export E2E_OUTPUTS
wl_picture "$W/desk.png" 1280 800 counter.png 950 640 position.ppm 403 187
if [ "$layout" = pair ]; then
    wl_start "HEADLESS-1:$W/desk.png" "HEADLESS-2:$W/right.png"
else
    wl_start "$W/desk.png"
fi
wl_profile 950 640
# The pointer out of the way in the bottom-left corner of the first
# output (so that no part of it reaches the second): the headless compositor draws it into every copy of the screen,
# the program's own included (a real display has it on a plane of its own).
# The bottom rows of that output, where it is, are left out of the
# comparison.
pointer move 0 "$(awk "BEGIN { print 799 / $scale }")"
shot() {
    grim -o HEADLESS-1 - | convert png:- -gravity South -chop 0x60 "$1-1.png"
    [ "$layout" = pair ] && grim -o HEADLESS-2 "$1-2.png"
    return 0
}
same() { # shot, shot
    local n diff
    for n in 1 2; do
        [ -e "$1-$n.png" ] || continue
        diff=$(compare -metric AE "$1-$n.png" "$2-$n.png" null: 2>&1)
        [ "$diff" = 0 ] || { cp "$2-$n.png" "$W/failure-overlay-$n.png"; echo "$diff"; return 1; }
    done
}
shot "$W/before"

whole=$(awk "BEGIN { print ($scale == int($scale)) }")
wl_run_program 1 --show
if [ "$whole" = 1 ]; then
    wait_for 100 text_is "認識結果" "1234567890" || fail "--show did not read"
else
    wait_for 100 main_window_open || fail "--show opened no main window"
fi
press "$TIRELMA_PID" "認識エリア指定、キャラクタ登録(A)"
editor_open() { [ "$(windows_named 認識エリアとキャラクタ登録)" -ge 1 ]; }
wait_for 100 editor_open || fail "no editor"
sleep 0.5
press "$TIRELMA_PID" "(P)位置を指定してキャプチャ"
overlay_open() { swaymsg -t get_tree | grep -q '"fullscreen_mode": 1'; }
wait_for 100 overlay_open || fail "no overlay"
sleep 1
shot "$W/overlay"
[ "$whole" = 0 ] || same "$W/before" "$W/overlay" >"$W/diff" ||
    fail "the overlay does not show every output as it was: $(cat "$W/diff") pixels differ"

# A drag over position.ppm (65 x 11): exactly its pixels, in physical
# pixels; at scale 2 its odd corners lie on half logical pixels.
if [ "$layout" = pair ]; then
    # On the output at scale 1, right of the one at 2 (640 logical, 1280 physical).
    drag $((640 + 404)) 188 $((640 + 404 + 65)) $((188 + 11))
    left=$((1280 + 404)) top=188
else
    half() { awk "BEGIN { print $1 / $scale }"; }
    drag "$(half 403)" "$(half 187)" "$(half $((403 + 65)))" "$(half $((187 + 11)))"
    left=403 top=187
fi
sleep 0.5
expect_eq "dragged left" "$left" "$(text_box "$TIRELMA_PID" Left)"
expect_eq "dragged top" "$top" "$(text_box "$TIRELMA_PID" Top)"
expect_eq "dragged width" 65 "$(text_box "$TIRELMA_PID" Width)"
expect_eq "dragged height" 11 "$(text_box "$TIRELMA_PID" Height)"
exit $TEST_FAILED
