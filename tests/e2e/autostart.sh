#!/usr/bin/env bash
# Start at sign-in on Linux. The main window's menu entry writes the user's
# XDG autostart entry for the program where it is (a folder with a blank and
# Japanese in its name), a valid one; a session started afresh launches it
# as a desktop does and the icon appears; a program that was moved names
# its new place in the entry at its next start; turned off, the entry goes.
source "$(dirname "$0")/lib.sh"
e2e_start
entry="$HOME/.config/autostart/tirelma.desktop"
# The machine's own entries for every user stay out of this session.
export XDG_CONFIG_DIRS="$W/xdg"
bin="$W/my apps/ツール"
mkdir -p "$bin"
mv "$W/bin/tirelma" "$W/bin/help.html" "$bin/"

# The program's process by where it runs from (it may be started by others).
program_pid() { # program
    local p
    for p in $(pgrep -x tirelma); do
        [ "$(readlink "/proc/$p/exe")" = "$1" ] && echo "$p"
    done
}
found_program() {
    TIRELMA_PID=$(program_pid "$1" | head -1)
    [ -n "$TIRELMA_PID" ]
}
start_from() { # folder
    (cd "$1" && exec ./tirelma >>"$W/log" 2>&1) &
    TIRELMA_PID=$!
    E2E_PIDS+=($TIRELMA_PID)
    wait_for 60 tray_icons_is 1 || fail "no icon in the notification area"
}
end_program() {
    kill "$TIRELMA_PID"
    wait_for 50 tray_icons_is 0 || fail "the program did not end"
}
# The main window's file menu (a window more of the program's), then its
# entry with the access key S.
switch_autostart() {
    open_main_window || return
    file_menu s
    sleep 0.4
    xdotool key alt+w
    wait_for 30 main_window_closed || fail "Alt+W did not close the main window"
}
exec_of() { # entry -> the program it starts, as GLib reads its Exec
    /usr/bin/python3 -c '
import sys
from gi.repository import GLib
k = GLib.KeyFile()
k.load_from_file(sys.argv[1], GLib.KeyFileFlags.NONE)
print(GLib.shell_parse_argv(k.get_string("Desktop Entry", "Exec"))[1][0])' "$1"
}

start_from "$bin"
[ -e "$entry" ] && fail "an entry before the switch was turned on"
switch_autostart
wait_for 30 test -f "$entry" || fail "the switch wrote no autostart entry"
expect_eq "desktop-file-validate" "" "$(desktop-file-validate "$entry" 2>&1)"
expect_eq "the entry starts this program" "$bin/tirelma" "$(exec_of "$entry")"
end_program

# Signing in: the session starts the entry, and the icon comes.
/usr/bin/python3 "$E2E_SOURCE/tests/e2e/autostart_session.py" "$W/started" >>"$W/session.log" 2>&1
expect_eq "the session started the entry" "$entry" "$(cat "$W/started")"
wait_for 100 found_program "$bin/tirelma" || fail "the session did not start the program"
E2E_PIDS+=($TIRELMA_PID)
wait_for 60 tray_icons_is 1 || fail "no icon after the session started the program"
end_program

# The folder moved: the next start from the new place mends the entry.
mv "$bin" "$W/moved"
start_from "$W/moved"
expect_eq "the entry follows the program" "$W/moved/tirelma" "$(exec_of "$entry")"
expect_eq "desktop-file-validate after the move" "" "$(desktop-file-validate "$entry" 2>&1)"

# Turned off again: the entry goes, and the next session starts nothing.
switch_autostart
wait_for 30 test ! -e "$entry" || fail "the switch did not remove the autostart entry"
end_program
/usr/bin/python3 "$E2E_SOURCE/tests/e2e/autostart_session.py" "$W/started" >>"$W/session.log" 2>&1
expect_eq "nothing started" "" "$(cat "$W/started")"
exit $TEST_FAILED
