#!/usr/bin/env bash
# On a Wayland desktop whose screen comes through the desktop portal (as on
# GNOME and KDE; here xdg-desktop-portal with its wlr backend on the test's
# own session bus): tirelma-read and `tirelma --show` read exactly,
# `tirelma --write` writes the line without a window, the
# portal's picture is not left behind, and a capture the desktop refuses is
# said so, in tirelma-read's exit code and message and in the main window,
# never read as an empty screen.
source "$(dirname "$0")/wayland_lib.sh"
# The portal's wlr backend takes its pictures with grim, found on PATH: one
# that fails on demand stands for a desktop that refuses, and that counts
# the pictures asked for.
mkdir -p "$W/fakebin"
cat >"$W/fakebin/grim" <<EOF
#!/bin/sh
echo >>"$W/pictures"
[ -e "$W/refuse" ] && exit 1
exec /usr/bin/grim "\$@"
EOF
chmod 755 "$W/fakebin/grim"

wl_picture "$W/desk.png" 1280 800 counter.png 950 640
wl_start "$W/desk.png"
wl_start_portal
wl_profile 950 640
profile=$W/bin/Kavoren.ini
reader=$W/tools/tirelma-read
ms() { echo $(($(date +%s%N) / 1000000)); }
export TIRELMA_WAYLAND_CAPTURE=portal

t0=$(ms)
expect_eq "tirelma-read --screen through the portal" "1234567890" \
    "$("$reader" --profile "$profile" --screen 2>"$W/err")"
e2e_log "tirelma-read through the portal: $(($(ms) - t0)) ms"
[ -s "$W/err" ] && fail "tirelma-read said: $(cat "$W/err")"
[ -e /tmp/out.png ] && [ -O /tmp/out.png ] && fail "the portal's picture was left in /tmp"

# An area with two fields elsewhere on the screen: one picture for the
# three of them, one request to the portal.
fields=$W/fields.ini
iconv -f CP932 -t UTF-8 "$profile" | sed -e "s/^\[ARIALIST\]\r$/[ARIALIST]\r\nLIST1=Y\r\nLIST2=Z\r/" \
    -e "s/^\[認識エリアCounter\]\r$/[認識エリアCounter]\r\nFIELD0=Y\r\nFIELD1=Z\r/" >"$W/fields.txt"
for f in Y:100 Z:300; do
    printf '[認識エリア%s]\r\nCHRGROP= 0\r\nLEFT=%s\r\nTOP=100\r\nWIDTH=40\r\nHEIGHT=11\r\n' "${f%%:*}" "${f#*:}" >>"$W/fields.txt"
done
iconv -f UTF-8 -t CP932 "$W/fields.txt" >"$fields"
rm -f "$W/pictures"
expect_eq "an area and two fields through the portal" "1234567890//" \
    "$("$reader" --profile "$fields" --screen 2>"$W/err")"
expect_eq "portal requests for the press" 1 "$(wc -l <"$W/pictures" 2>/dev/null || echo 0)"

wl_run_program 1 --show
wait_for 100 text_is "認識結果" "1234567890" || fail "--show did not read through the portal"
wtype -M alt w -m alt
wait_for 50 main_window_closed || fail "Alt+W did not close the main window"
t0=$(ms)
"$W/bin/tirelma" --show
wait_for 100 text_is "認識結果" "1234567890" || fail "the second --show did not read"
e2e_log "--show through the portal: reading shown after $(($(ms) - t0)) ms"
wtype -M alt w -m alt
wait_for 50 main_window_closed || fail "Alt+W did not close the main window"

# tirelma --write, as a key the user bound would run it: the line written
# without a window, from one picture.
lines() { grep -c . "$W/out.txt" 2>/dev/null || echo 0; }
before=$(lines)
rm -f "$W/pictures"
"$W/bin/tirelma" --write || fail "tirelma --write was not taken"
one_more() { [ "$(lines)" = $((before + 1)) ]; }
wait_for 100 one_more || fail "tirelma --write wrote no line"
expect_eq "the line of tirelma --write" "1234567890/" "$(tail -1 "$W/out.txt" | tr -d '\r')"
expect_eq "portal requests for tirelma --write" 1 "$(wc -l <"$W/pictures" 2>/dev/null || echo 0)"
sleep 0.5
main_window_closed || fail "tirelma --write opened the main window"

# Refused: no reading, and the reason.
touch "$W/refuse"
"$reader" --profile "$profile" --screen >"$W/out" 2>"$W/err"
expect_eq "a refused capture ends tirelma-read with 5" 5 $?
expect_eq "and prints no reading" "" "$(cat "$W/out")"
grep -q 'the screen could not be read: デスクトップが画面の読み取りを断りました' "$W/err" ||
    fail "tirelma-read's message: $(cat "$W/err")"
"$W/bin/tirelma" --show
refused() { texts_of "$TIRELMA_PID" | grep -q '画面を読み取れなかった'; }
wait_for 100 refused || fail "the main window does not say the screen could not be read"
texts_of "$TIRELMA_PID" | grep -q 'デスクトップが画面の読み取りを断りました' ||
    fail "the main window does not say why"
expect_eq "nothing read" "" "$(text_box "$TIRELMA_PID" "認識結果")"
exit $TEST_FAILED
