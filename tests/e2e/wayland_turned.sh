#!/usr/bin/env bash
# Outputs turned on their side, and mirrored: the screen reads as the output
# shows it (the copied buffer is the hardware's, unturned).
source "$(dirname "$0")/wayland_lib.sh"
for t in 90 flipped-270 180; do
    E2E_OUTPUTS="output HEADLESS-1 transform $t"
    if [ "$t" = 180 ]; then wl_picture "$W/desk.png" 1280 800 counter.png 300 700
    else wl_picture "$W/desk.png" 800 1280 counter.png 300 700
    fi
    wl_start "$W/desk.png"
    wl_profile 300 700
    expect_eq "reading on an output turned $t" "1234567890" \
        "$("$W/tools/tirelma-read" --profile "$W/bin/Kavoren.ini" --screen 2>&1)"
    wl_stop
done
exit $TEST_FAILED
