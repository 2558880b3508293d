#!/usr/bin/env bash
# The Windows program from its zip, unpacked into a folder with Japanese in
# its name, in a wine desktop: its icon in the notification area; Alt opens
# the main window, which reads what a fixture window shows at the area;
# Alt+W appends the line (CP932, CR LF) to the result file beside the
# program and keeps the profile there too; a second start says
# "既に起動されています。" and ends; the icon's "終了" ends the program, and so
# does a request to close from outside, which it reports. The reading key,
# the quick key, the copy to the clipboard and the typing into another
# program's text window work there too.
# Optional argument: the desktop's dots per inch (144 for a scale of 150 %).
source "$(dirname "$0")/lib.sh"
WIN_DPI=${1:-96} WIN_IN_DESKTOP=1
win_start
zip=$(win_zip)
[ -n "$zip" ] || { fail "no zip in $WIN_BUILD"; exit 1; }
home="$W/ユーザー データ"
win_unzip "$zip" "$home"
bin="$home/Tirelma"

show_fixture first

# A first start from the fresh folder: no profile yet.
started=$(date +%s%N)
win_run "$bin" "$bin/tirelma.exe"
wait_for 600 tray_icon_shown || fail "no icon in the notification area"
win_log "icon shown $((($(date +%s%N) - started) / 1000000)) ms after the start"
expect_eq "one copy running" 1 "$(copies_of tirelma.exe)"

# A copy that was killed leaves its lock behind; wine hands out the same
# process numbers again after a restart, so the next copy carries the dead
# one's number. It starts all the same.
"$WINESERVER" -k
wait_for 100 copies_are tirelma.exe 0
show_fixture first
win_run "$bin" "$bin/tirelma.exe"
wait_for 600 tray_icon_shown || fail "a start after a killed copy showed no icon"
[ -n "$(windows_of tirelma.exe '^Tirelma$' 60)" ] && fail "a start after a killed copy was refused"

open_main_window
xdotool key alt+w
wait_for 100 main_window_closed || fail "Alt+W did not close the main window"
[ -f "$bin/Kavoren.ini" ] || fail "no Kavoren.ini beside the program"
grep -q '^\[Tirelma\]' "$bin/Kavoren.ini" 2>/dev/null || fail "the window's place was not kept in Kavoren.ini"
expect_eq "empty reading, empty line" '\r \n' "$(bytes_of "$bin/Kavoren.txt")"
rm -f "$bin/Kavoren.txt"

# The demo profile, put in place by hand while the program runs: its area
# at the fixture, a full-width solidus as the delimiter.
demo_profile >"$bin/Kavoren.ini"

open_main_window # the reading has the keyboard once it is there
wait_for 100 reading_copied 1234567890
expect_eq "reading shown" "1234567890" "$(clipboard)"
xdotool key Tab # to the comment
xdotool type memo
xdotool key alt+w
wait_for 100 main_window_closed || fail "Alt+W did not close the main window"
printf '1234567890\x81\x5ememo\r\n' >"$W/expected"
expect_eq "result line in CP932 with CR LF" "$(bytes_of "$W/expected")" "$(bytes_of "$bin/Kavoren.txt")"

# The reader beside it copies the same screen (the wine desktop) the same way.
(cd "$bin" && "$WINE" tirelma-read.exe --screen >"$W/screen.txt" 2>>"$W/wine.log")
has_reading() { grep -q . "$W/screen.txt"; }
wait_for 300 has_reading
expect_eq "tirelma-read --screen" "1234567890" "$(tr -d '\r' <"$W/screen.txt")"

# A second copy: its message, then it ends; the first keeps running.
win_run "$bin" "$bin/tirelma.exe"
message() { windows_of tirelma.exe '^Tirelma$' 60 | head -1; }
wait_for 300 has_windows tirelma.exe '^Tirelma$' 60 || fail "no message from the second copy"
focus "$(message)"
message_copied() { xdotool key ctrl+c; sleep 0.2; clipboard | grep -q '既に起動されています。'; } # a message box copies its text
wait_for 50 message_copied || fail "second start: expected 既に起動されています。, got [$(clipboard)]"
xdotool key Return
wait_for 100 copies_are tirelma.exe 1 || fail "the second copy did not end"
tray_icon_shown || fail "the first copy lost its icon"

# The icon: a single click does nothing, a double click opens the main window.
xdotool mousemove 1268 790 click 1
sleep 1
main_window_open && fail "a single click on the icon opened the main window"
xdotool mousemove 1268 790 click --repeat 2 --delay 80 1
if wait_for 300 main_window_open; then
    focus "$(main_window)"
    xdotool key alt+w
    wait_for 100 main_window_closed || fail "Alt+W did not close the main window"
    expect_eq "a second line" 2 "$(grep -c $'\r$' "$bin/Kavoren.txt")"
else
    fail "a double click on the icon did not open the main window"
fi

# The icon's menu: "終了" (the second entry) removes the icon and ends the
# program. The hand leaves the icon once it has clicked, goes to the entry,
# and clicks when the menu shows the entry under the pointer: wine shows the
# icon's tip when the pointer rests on the icon, and the tip, lying over the
# menu's lower entry, takes a click meant for the entry.
xdotool mousemove 1268 790 click 3 mousemove 1200 700
menu() { windows_of tirelma.exe . 30 | while read -r w; do
    [ "$(window_box "$w" | cut -d' ' -f4)" -lt 80 ] && echo "$w"
done | head -1; }
has_menu() { [ -n "$(menu)" ]; }
wait_for 50 has_menu || fail "no menu on a right click of the icon"
if has_menu; then
    read -r x y w h < <(window_box "$(menu)")
    ex=$((x + w / 2)) ey=$((y + h * 3 / 4))
    # The menu's highlight (the system's selection blue) at the entry's left.
    entry_lit() {
        xdotool mousemove $((ex - 3)) "$ey" sleep 0.05 mousemove "$ex" "$ey"
        sleep 0.2
        import -window root -crop "1x1+$((x + 6))+$ey" -depth 8 rgb:- 2>/dev/null |
            od -An -tu1 | awk '{exit !($1 < 120 && $3 > 200)}'
    }
    wait_for 50 entry_lit || fail "the menu does not follow the pointer to 終了"
    xdotool click 1
fi
wait_for 100 copies_are tirelma.exe 0 || fail "終了 did not end the program"
tray_icon_shown && fail "the icon stayed after 終了"
grep -q "ended the program" "$W/wine.log" && fail "終了 was taken for an end from outside"

# A reading key and the quick key, stored as the reading-key dialog stores
# them (hotkeys of RegisterHotKey): the reading key opens the main window,
# the quick key writes a line without it, each copying the answer to the
# clipboard too ("クリップボードにもコピー"). The keys are heard as raw input
# the moment they are pressed.
iconv -f CP932 -t UTF-8 "$bin/Kavoren.ini" |
    sed 's/^\[ENDDATA\]\r$/[ENDDATA]\r\nREADKEY=Ctrl+Shift+F9\r\nQUICKKEY=Ctrl+Shift+F10\r\nCLIPBOARD=True\r/' |
    iconv -f UTF-8 -t CP932 >"$W/edit.ini" && mv "$W/edit.ini" "$bin/Kavoren.ini"
win_run "$bin" "$bin/tirelma.exe"
wait_for 600 tray_icon_shown || fail "no icon at a start after 終了"
grep -q "the reading key is heard by raw input" "$W/wine.log" ||
    fail "the keys are not heard as raw input: $(grep 'heard by' "$W/wine.log")"
focus "$fixture_window"
xdotool key ctrl+shift+F9
if wait_for 300 main_window_open; then
    focus "$(main_window)"
    xdotool key alt+w
    wait_for 100 main_window_closed || fail "Alt+W did not close the main window"
else
    fail "the reading key did not open the main window"
fi
expect_eq "a line from the reading key" 3 "$(grep -c $'\r$' "$bin/Kavoren.txt")"
focus "$fixture_window"
xdotool key ctrl+shift+F10
lines_are() { [ "$(grep -c $'\r$' "$bin/Kavoren.txt")" = "$1" ]; }
wait_for 100 lines_are 4 || fail "the quick key wrote no line"
sleep 0.5
main_window_open && fail "the quick key opened the main window"
expect_eq "the quick key's line" "$(sed -n 3p "$bin/Kavoren.txt" | od -An -tx1)" \
    "$(sed -n 4p "$bin/Kavoren.txt" | od -An -tx1)"
expect_eq "the answer on the clipboard" "1234567890" "$(clipboard)"

# "前のウィンドウに入力", turned on by hand while the program runs: the quick
# key types the answer into the text window that has the focus (Unicode
# key input), then Tab.
iconv -f CP932 -t UTF-8 "$bin/Kavoren.ini" |
    sed 's/^\[ENDDATA\]\r$/[ENDDATA]\r\nTYPEINTO=True\r\nTYPEAFTER=Tab\r/' |
    iconv -f UTF-8 -t CP932 >"$W/edit.ini" && mv "$W/edit.ini" "$bin/Kavoren.ini"
(export WINEPATH; WINEPATH=$(win_dll_path)
 win_run "$W" "$WIN_BUILD/tests/e2e/textpad.exe" pad "$(winepath_of "$W/pad.txt")")
wait_for 300 has_windows textpad.exe . 0 || fail "no text window"
focus "$(windows_of textpad.exe . 0 | head -1)"
xdotool key ctrl+shift+F10
typed() { [ "$(cat "$W/pad.txt" 2>/dev/null)" = "$(printf '1234567890\t')" ]; }
wait_for 100 typed || fail "the answer was not typed into the text window: '$(cat "$W/pad.txt" 2>/dev/null)'"
expect_eq "a line from the quick key that typed" 5 "$(grep -c $'\r$' "$bin/Kavoren.txt")"

# Asked to close from outside (WM_CLOSE to its windows, as Task Manager or an
# installer asks): the icon goes, the program ends and says so.
(cd "$bin" && "$WINE" taskkill /im tirelma.exe >/dev/null 2>&1)
wait_for 100 copies_are tirelma.exe 0 || fail "the program did not end when asked to close"
tray_icon_shown && fail "the icon stayed after the program was asked to close"
grep -q "^tirelma: the desktop ended the program" "$W/wine.log" ||
    fail "the program did not say that it was ended from outside"
exit $TEST_FAILED
