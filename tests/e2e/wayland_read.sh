#!/usr/bin/env bash
# On a Wayland desktop (sway's headless backend, the picture drawn by
# swaybg): the screen read exactly through wlr-screencopy, by tirelma-read
# and by the resident program; `tirelma --show` starts the program and reads
# at once, then asks the running copy and ends; the icon's activation and a
# shortcut the desktop keeps (the portal's GlobalShortcuts, here a portal of
# the test's own) open the main window too; Alt+W writes the line; the
# notice of the first start says how to bind the command to a key, and
# without a notification area it comes before the stand-in, not under it.
source "$(dirname "$0")/wayland_lib.sh"
wl_picture "$W/desk.png" 1280 800 counter.png 950 640 position.ppm 403 187
wl_start "$W/desk.png"
/usr/bin/python3 "$E2E_SOURCE/tests/e2e/shortcut_portal.py" "$W/bound" >"$W/run/portal.log" 2>&1 &
WL_PIDS+=($!)
portal_up() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.portal.Desktop | grep -q true
}
wait_for 50 portal_up || fail "the test's portal did not start"
wl_profile 950 640
profile=$W/bin/Kavoren.ini
reader=$W/tools/tirelma-read
ms() { echo $(($(date +%s%N) / 1000000)); }

expect_eq "tirelma-read --screen" "1234567890" "$("$reader" --profile "$profile" --screen 2>"$W/err")"
expect_eq "tirelma-read says nothing more" "" "$(cat "$W/err")"
expect_eq "tirelma-read --watch --count" "1234567890" \
    "$(timeout 60 "$reader" --profile "$profile" --screen --watch 0.1 --count 1 2>/dev/null | cut -d' ' -f2)"

# --show with no copy running: the program starts and reads at once.
t0=$(ms)
wl_run_program 1 --show
wait_for 100 text_is "認識結果" "1234567890" || fail "the first --show did not read"
e2e_log "first --show: reading shown after $(($(ms) - t0)) ms (program start included)"
read -r ITEM_BUS ITEM_PATH <"$W/items"
wtype -M alt w -m alt
wait_for 50 main_window_closed || fail "Alt+W did not close the main window"
wait_for 30 grep -q 1234567890 "$W/out.txt" || fail "Alt+W wrote no line"

# --show again: asks the running copy, which opens the main window and
# reads, and ends at once.
for round in 1 2; do
    t0=$(ms)
    "$W/bin/tirelma" --show >"$W/show.out" 2>&1
    rc=$?
    t1=$(ms)
    expect_eq "--show to the running copy ends with 0 ($round)" 0 "$rc"
    wait_for 100 text_is "認識結果" "1234567890" || fail "--show did not read ($round)"
    e2e_log "--show: ended after $((t1 - t0)) ms, reading shown after $(($(ms) - t0)) ms"
    expect_eq "one main window" 1 "$(windows_named Tirelma)"
    wtype -M alt w -m alt
    wait_for 50 main_window_closed || fail "Alt+W did not close the main window ($round)"
done
expect_eq "one line per reading" 3 "$(grep -c 1234567890 "$W/out.txt")"
expect_eq "the first copy still runs" 0 "$(kill -0 "$TIRELMA_PID" 2>/dev/null; echo $?)"

# "クリップボードにもコピー" and "前のウィンドウに入力", turned on by hand: the
# answer is on the clipboard after Alt+W; typing into another program is
# not offered here (the output settings dialog says so).
sed -i "s/^\[ENDDATA\]\r$/[ENDDATA]\r\nCLIPBOARD=True\r\nTYPEINTO=True\r/" "$W/profile.txt"
iconv -f UTF-8 -t CP932 "$W/profile.txt" >"$profile"
"$W/bin/tirelma" --show
wait_for 100 text_is "認識結果" "1234567890" || fail "--show did not read"
wtype -M alt f -m alt
sleep 0.5
wtype w
no_typing() { texts_of "$TIRELMA_PID" | grep -q 'この画面環境では使えません'; }
wait_for 50 no_typing || fail "the output settings do not say typing is not offered: $(texts_of "$TIRELMA_PID" | tr '\n' ' ')"
wtype -k Escape
wait_for 50 main_window_open || fail "the main window did not come back"
sleep 0.5
wtype -M alt w -m alt
wait_for 50 main_window_closed || fail "Alt+W did not close the main window"
expect_eq "the answer on the clipboard" "1234567890" "$(timeout 5 wl-paste -n)"
expect_eq "still one line per reading" 4 "$(grep -c 1234567890 "$W/out.txt")"

# The icon's activation (a click on it, over D-Bus) opens the main window.
dbus-send --session --print-reply --dest="$ITEM_BUS" "$ITEM_PATH" \
    org.kde.StatusNotifierItem.Activate int32:10 int32:790 >/dev/null || fail "Activate failed"
wait_for 100 text_is "認識結果" "1234567890" || fail "the icon's activation did not read"
# --show while the main window is open brings it forward, without a second one.
"$W/bin/tirelma" --show
sleep 0.5
expect_eq "still one main window" 1 "$(windows_named Tirelma)"
wtype -M alt w -m alt
wait_for 50 main_window_closed || fail "Alt+W did not close the main window"

# The desktop's own shortcut: asked for at the start, its press opens the
# main window.
wait_for 50 test -s "$W/bound" || fail "no shortcut asked for through the portal"
read -r session id description <"$W/bound"
expect_eq "the shortcut asked for" "show Tirelma:" "$id ${description%% *}"
dbus-send --session --print-reply --dest=org.freedesktop.portal.Desktop \
    /org/freedesktop/portal/desktop org.tirelma.Test.Press "objpath:$session" string:show >"$W/press.out" 2>&1 ||
    fail "the test's portal did not press: $(cat "$W/press.out")"
wait_for 100 text_is "認識結果" "1234567890" || fail "the desktop's shortcut did not read"
wtype -M alt w -m alt
wait_for 50 main_window_closed || fail "Alt+W did not close the main window"

# A help text for the command; none of the display is needed for it.
env -u WAYLAND_DISPLAY "$W/bin/tirelma" --help | grep -q -- '--show' || fail "--help says nothing of --show"

# The first start on Wayland tells once how to open the main window.
kill "$TIRELMA_PID"
wait "$TIRELMA_PID" 2>/dev/null
rm -f "$W/items"
wl_profile 950 640 notice
wl_run_program 2
notice_shown() { texts_of "$TIRELMA_PID" | grep -q 'tirelma --show'; }
wait_for 100 notice_shown || fail "no notice of how to open the main window"
texts_of "$TIRELMA_PID" | grep -q 'sway: 設定ファイルに bindsym' || fail "the notice does not say how in sway"
iconv -f CP932 -t UTF-8 "$profile" | grep -q '^TRIGGERNOTICE=True' || fail "the notice is not kept as shown"
wtype -k Return
kill "$TIRELMA_PID"
wait "$TIRELMA_PID" 2>/dev/null
rm -f "$W/items"
wl_run_program 3
sleep 1.5
notice_shown && fail "the notice came a second time"

# The first start on a desktop without a notification area (GNOME as it
# ships): the notice keeps the keyboard while it is open — Return closes
# it — and the stand-in comes only after it.
kill "$TIRELMA_PID"
wait "$TIRELMA_PID" 2>/dev/null
pkill -f "sni_watcher.py $W/items"
no_area() { ! wl_bus_has_owner org.kde.StatusNotifierWatcher; }
wait_for 50 no_area || fail "the notification area stayed"
wl_profile 950 640 notice
(cd "$W/bin" && exec ./tirelma >"$W/bin/log4" 2>&1) &
TIRELMA_PID=$!
WL_PIDS+=($TIRELMA_PID)
notice_open() { texts_of "$TIRELMA_PID" | grep -q 'sway: 設定ファイルに bindsym'; }
wait_for 100 notice_open || fail "no notice at the first start without a notification area"
sleep 2.5 # past the moment the stand-in would have come
stand_in() { texts_of "$TIRELMA_PID" | grep -q '通知領域がないため'; }
stand_in && fail "the stand-in came while the notice was open"
wtype -k Return
notice_closed() { ! notice_open; }
wait_for 50 notice_closed || fail "Return did not close the notice"
wait_for 100 stand_in || fail "no stand-in after the notice"
exit $TEST_FAILED
