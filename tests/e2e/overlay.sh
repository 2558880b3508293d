#!/usr/bin/env bash
# The area overlay and the reading agree on every pixel: on one monitor at a
# scale factor, or on three monitors around a primary that is not at the
# desktop's top-left (one above it, one left of it and lower).
#   overlay.sh single|around [scale]
# Alt reads an area on the desktop; the main window shows it pixel for pixel;
# the overlay shows every monitor as it was, without the program's own
# windows; a drag gives exactly the pixels under the pointer, in the
# coordinates the reading uses (the primary's top-left is (0, 0)); the area
# stored from it reads the same.
source "$(dirname "$0")/lib.sh"
layout=${1:-single}
scale=${2:-1}
if [ "$layout" = around ]; then
    # Root window: the primary at (1280, 600), one monitor above it, one left
    # of it and lower; (0, 0)..(1280, 700) belongs to no monitor.
    export E2E_SCREEN=2560x1400x24
    OX=1280 OY=600
    A_X=-1000 A_Y=403  # counter.png, on the left monitor
    B_X=403 B_Y=-413   # position.ppm, on the monitor above
else
    OX=0 OY=0
    A_X=903 A_Y=587   # away from the main window, which is larger at a scale factor
    B_X=403 B_Y=187
fi
e2e_start
[ "$layout" = around ] &&
    e2e_monitors primary:1280x800+1280+600:primary above:1280x600+1280+0 left:1280x700+0+700
e2e_profile $A_X $A_Y
e2e_show counter.png $((A_X + OX)) $((A_Y + OY))
e2e_show_also position.ppm $((B_X + OX)) $((B_Y + OY))
export QT_SCALE_FACTOR=$scale
e2e_run_program 1
unset QT_SCALE_FACTOR
sleep 0.5
screenshot "$W/desktop.png"

# Alt reads the area where the profile has it, on whichever monitor.
open_main_window
expect_eq "reading at ($A_X, $A_Y)" "1234567890" "$(text_box "$TIRELMA_PID" "認識結果")"
# Each area pixel as whole screen pixels, as many as the scale factor's whole part.
zoom=${scale%%.*}
convert "$E2E_SOURCE/examples/counter.png" -scale "$((zoom * 100))%" "$W/zoomed.png"
screenshot "$W/main.png" "$(window_geometry "$(main_window)")"
if find_image "$W/main.png" "$W/zoomed.png" >/dev/null; then
    e2e_log "ok: the main window shows the area pixel for pixel"
else
    fail "the main window does not show the area pixel for pixel"
fi

# The editor, then the overlay: every monitor shows what it showed before,
# the editor (standing in front) and the main window not included.
file_menu a
focus_window "$TIRELMA_PID" "認識エリアとキャラクタ登録" || fail "no editor"
xdotool key alt+p
sleep 1.5
screenshot "$W/overlay.png"
diff=$(compare -metric AE "$W/desktop.png" "$W/overlay.png" null: 2>&1)
expect_eq "overlay shows the desktop as it was" "0" "$diff"
[ "$diff" != 0 ] && cp "$W/overlay.png" "$E2E_BUILD/e2e-overlay-$layout-$scale.png" && cp "$W/desktop.png" "$E2E_BUILD/e2e-desktop-$layout-$scale.png"

# A drag over position.ppm: exactly its pixels, in reading coordinates.
read -r IMG_W IMG_H < <(head -c 20 "$E2E_SOURCE/examples/position.ppm" | sed -n 2p)
drag $((B_X + OX)) $((B_Y + OY)) $((B_X + OX + IMG_W)) $((B_Y + OY + IMG_H))
sleep 0.8
expect_eq "dragged left" "$B_X" "$(text_box "$TIRELMA_PID" Left)"
expect_eq "dragged top" "$B_Y" "$(text_box "$TIRELMA_PID" Top)"
expect_eq "dragged width" "$IMG_W" "$(text_box "$TIRELMA_PID" Width)"
expect_eq "dragged height" "$IMG_H" "$(text_box "$TIRELMA_PID" Height)"

# Stored, the dragged area reads what was dragged over.
if [ "$scale" = 1 ]; then
    click_on "$TIRELMA_PID" "認識エリア記録"
    focus_window "$TIRELMA_PID" "認識エリアとキャラクタ登録"
    xdotool key alt+o
    wait_for 100 main_window_open || fail "the main window did not come back"
    wait_for 30 text_is "認識結果" "12.34,-5.6"
    expect_eq "reading of the dragged area" "12.34,-5.6" "$(text_box "$TIRELMA_PID" "認識結果")"
fi
exit $TEST_FAILED
