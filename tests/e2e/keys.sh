#!/usr/bin/env bash
# Keys of the user's own, set in the reading-key dialog with the keyboard as
# a user does: a reading key in place of Alt (Alt alone then opens
# nothing), a combination another program holds refused at once with the
# old key kept, and the quick key that writes a whole reading without the
# main window (twice in a row: two lines), as `tirelma --write` does, while
# a reading with a character nobody taught opens the main window instead.
source "$(dirname "$0")/lib.sh"
e2e_start
e2e_profile 950 640
e2e_show counter.png 950 640
e2e_run_program 1

lines() { result_file "$W/out.txt" | tr -d '\r' | grep -c . ; }
stored() { iconv -f CP932 -t UTF-8 "$W/bin/Kavoren.ini" | grep "^$1=" | tr -d '\r'; }
# The main window by its answer box (the icon's message is a window titled
# Tirelma too).
stays_closed() { # what was done
    sleep 1.0
    if not_showing "認識結果："; then e2e_log "ok: $1 opened nothing"; else
        fail "$1 opened the main window"
    fi
}
key_dialog() { # opened from the main window's file menu, third entry
    press_to_open alt+f || return 1
    xdotool key Down Down Return
    wait_for 50 focus_window "$TIRELMA_PID" '^読み取りキーの設定$' || { fail "no reading-key dialog"; return 1; }
}
press_combination() { # keys: pressed in the focused key box, which takes it once a second passes
    xdotool key "$1"
    sleep 1.5
}

# Ctrl+Shift+F9 to read, Ctrl+Shift+F10 to write at once. The dialog opens
# on "Altキーだけ"; Down chooses the combination, Tab goes to its box.
open_main_window
key_dialog
xdotool key Down Tab
press_combination ctrl+shift+F9
xdotool key Tab space Tab          # すぐ書き込むキー, then its box
press_combination ctrl+shift+F10
xdotool key Tab Return             # OK
wait_for 50 test -n "$(stored READKEY)" || fail "the keys were not stored"
expect_eq "stored reading key" "READKEY=Ctrl+Shift+F9" "$(stored READKEY)"
expect_eq "stored quick key" "QUICKKEY=Ctrl+Shift+F10" "$(stored QUICKKEY)"

# A combination another program took meanwhile (a key it holds never
# reaches the box): said at once, and the keys in use stay.
key_dialog
xdotool key Tab                    # from the chosen option to its box
press_combination ctrl+shift+F11
"$E2E_BUILD/tests/e2e/grabkey" "$W/grab.ready" F11 ctrl shift &
E2E_PIDS+=($!)
wait_for 50 test -s "$W/grab.ready" || fail "the other program holds no key"
xdotool key Tab Tab Tab Return     # past the quick key's check box and box, OK
held_elsewhere() { texts_of "$TIRELMA_PID" | grep -q "ほかのプログラムが使っているため使えません"; }
wait_for 50 held_elsewhere || fail "a key held by another program was not refused: $(texts_of "$TIRELMA_PID" | tr '\n' ' ')"
xdotool key Return                 # the message
sleep 0.5
focus_window "$TIRELMA_PID" '^読み取りキーの設定$' && xdotool key Escape
expect_eq "reading key after the refusal" "READKEY=Ctrl+Shift+F9" "$(stored READKEY)"
focus_window "$TIRELMA_PID" '^Tirelma$'
xdotool key alt+w                  # the first line
wait_for 30 main_window_closed || fail "Alt+W did not close the main window"
expect_eq "lines after Alt+W" 1 "$(lines)"

# Alt alone is the other programs' now; the reading key opens and reads.
press_alt
stays_closed "Alt alone"
xdotool key ctrl+shift+F9
wait_for 100 main_window_open || fail "the reading key did not open the main window"
wait_for 30 text_is "認識結果" "1234567890" || fail "no reading"
focus_window "$TIRELMA_PID" '^Tirelma$'
xdotool key alt+w
wait_for 30 main_window_closed || fail "Alt+W did not close the main window"
expect_eq "lines after the reading key" 2 "$(lines)"

# The quick key: a line, and no window; pressed twice, two lines.
lines_are() { [ "$(lines)" = "$1" ]; }
xdotool key ctrl+shift+F10
wait_for 50 lines_are 3 || fail "the quick key wrote nothing"
screenshot "$W/quick.png"; cp "$W/quick.png" /tmp/keys-quick.png 2>/dev/null
stays_closed "the quick key"
xdotool key ctrl+shift+F10 ctrl+shift+F10
wait_for 50 lines_are 5 || fail "two quick presses did not write two lines: $(lines)"
(cd "$W/bin" && ./tirelma --write) || fail "tirelma --write was not taken"
wait_for 50 lines_are 6 || fail "tirelma --write wrote nothing"
stays_closed "tirelma --write"
expect_eq "every quick line as Alt+W's" "1234567890/" "$(result_file "$W/out.txt" | tr -d '\r' | sort -u)"

# Letters nobody taught: the quick key opens the main window and writes nothing.
e2e_show xyz.png 950 640
xdotool key ctrl+shift+F10
wait_for 100 showing "認識結果：" || fail "an incomplete reading did not open the main window"
sleep 0.5
expect_eq "lines after an incomplete quick press" 6 "$(lines)"
kill -0 "$TIRELMA_PID" || fail "the program ended"
exit $TEST_FAILED
