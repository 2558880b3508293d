#!/usr/bin/env bash
# On a D-Bus notification area (StatusNotifierItem, as on KDE Plasma and
# GNOME with the AppIndicator extension) the icon reports one activation and
# never a double click: that activation opens the main window. The area here
# is a watcher of the test's own on a private session bus; the activation is
# the item's Activate called over D-Bus, as the desktop calls it on a click.
# With "書き込んだら通知" on, each line written reaches the desktop's
# notification service (a fake of the test's own that records them).
source "$(dirname "$0")/lib.sh"
e2e_start
e2e_profile 950 640
iconv -f CP932 -t UTF-8 "$W/bin/Kavoren.ini" | sed 's/^\[ENDDATA\]\r$/[ENDDATA]\r\nWRITENOTICE=True\r/' |
    iconv -f UTF-8 -t CP932 >"$W/edit.ini" && mv "$W/edit.ini" "$W/bin/Kavoren.ini"
e2e_show counter.png 950 640
/usr/bin/python3 "$E2E_SOURCE/tests/e2e/sni_watcher.py" "$W/items" "$W/notices" &
E2E_PIDS+=($!)
wait_for 100 bus_has_owner org.kde.StatusNotifierWatcher || fail "no StatusNotifierWatcher"
wait_for 100 bus_has_owner org.freedesktop.Notifications || fail "no notification service"

(cd "$W/bin" && exec ./tirelma >"$W/bin/log1" 2>&1) &
TIRELMA_PID=$!
E2E_PIDS+=($TIRELMA_PID)
wait_for 100 test -s "$W/items" || fail "the icon did not register with the watcher"
read -r ITEM_BUS ITEM_PATH <"$W/items"
e2e_log "icon: $ITEM_BUS $ITEM_PATH"
expect_eq "no icon in the XEmbed area" "0" "$(xwininfo -root -tree | grep -A50 '"panel"' | grep -c '("tirelma" "Tirelma")')"

item() { # method [args...]
    dbus-send --session --print-reply --dest="$ITEM_BUS" "$ITEM_PATH" "org.kde.StatusNotifierItem.$1" "${@:2}"
}
tip=$(dbus-send --session --print-reply --dest="$ITEM_BUS" "$ITEM_PATH" org.freedesktop.DBus.Properties.Get \
    string:org.kde.StatusNotifierItem string:ToolTip 2>/dev/null | grep -c 'Altキーで実行')
[ "$tip" -ge 1 ] || fail "the icon's tip does not say Altキーで実行"

# One activation (a click on the icon) opens the main window, which reads.
item Activate int32:10 int32:790 >/dev/null || fail "Activate failed"
wait_for 50 main_window_open || fail "Activate did not open the main window"
wait_for 30 text_is "認識結果" "1234567890" || fail "the main window did not read"
focus_window "$TIRELMA_PID" '^Tirelma$'
xdotool key alt+w
wait_for 30 main_window_closed || fail "Alt+W did not close the main window"
expect_eq "written" "1234567890/" "$(result_file "$W/out.txt" | tr -d '\r')"
wait_for 50 test -s "$W/notices" || fail "the line written was not told"
expect_eq "the notification" "Tirelma|書き込みました: 1234567890/" "$(head -1 "$W/notices" | cut -d'|' -f1,2)"

# A second activation opens it again; one while it is open opens no second.
item Activate int32:10 int32:790 >/dev/null
wait_for 50 main_window_open || fail "a second Activate did not open the main window"
item Activate int32:10 int32:790 >/dev/null
sleep 0.5
expect_eq "one main window" "1" "$(windows_of "$TIRELMA_PID" '^Tirelma$' | wc -l)"
kill -0 "$TIRELMA_PID" || fail "the program ended"
exit $TEST_FAILED
