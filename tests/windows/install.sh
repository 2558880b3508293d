#!/usr/bin/env bash
# The per-user installer, in a fresh wine prefix. A silent install (/S) puts
# exactly the zip's files into %LOCALAPPDATA%\Programs\Tirelma, the Start
# menu entry, the uninstall key ("Apps & features": name, icon, version,
# size) and the Run value in place. At the next sign-in (a new wine session)
# the Run value starts the program from there: its icon docks, it reads as
# the zip's does, with its profile and results in %APPDATA%\Tirelma, and
# its main window's switch turns the start at sign-in off. A newer build
# installed over the running program ends it, keeps an edited profile and
# the results byte for byte, keeps the start at sign-in off and starts the
# program again. A silent uninstall removes the files, the link and the keys
# and keeps the profile and the results; one where the user ticks that the
# settings go too removes those, and only those, as well.
source "$(dirname "$0")/lib.sh"
win_start
setup=$(ls "$WIN_BUILD"/tirelma-*-windows-x64-setup.exe 2>/dev/null | head -1)
[ -n "$setup" ] || { fail "no installer in $WIN_BUILD"; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$WIN_BUILD/CMakeCache.txt")
win_fresh_prefix

user=$(ls "$WINEPREFIX/drive_c/users" | grep -vx Public | head -1)
home="$WINEPREFIX/drive_c/users/$user"
dir="$home/AppData/Local/Programs/Tirelma"
dir_win="C:\\users\\$user\\AppData\\Local\\Programs\\Tirelma"
appdata="$home/AppData/Roaming/Tirelma"
link="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tirelma.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tirelma'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
run_value() { value_of "$(reg_values "$run_key")" Tirelma; }

# Silently, as an administrator deploying it would.
"$WINE" "$setup" /S >>"$W/wine.log" 2>&1
expect_eq "the installer's exit code" 0 $?
expected=$(python3 -c '
import sys, zipfile
for n in zipfile.ZipFile(sys.argv[1]).namelist():
    if not n.endswith("/"): print(n.split("/", 1)[1])
print("uninstall.exe")' "$(win_zip)" | LC_ALL=C sort)
expect_eq "installed files" "$expected" "$(cd "$dir" 2>/dev/null && find . -type f | sed 's|^\./||' | LC_ALL=C sort)"
expect_eq "Start menu entry for tirelma.exe" yes "$(python3 -c '
import sys
data = open(sys.argv[1], "rb").read()
print("yes" if "tirelma.exe".encode("utf-16-le") in data or b"tirelma.exe" in data else "no")' "$link" 2>/dev/null)"
keys=$(reg_values "$uninstall_key") || fail "no uninstall key"
expect_eq "DisplayName" "Tirelma" "$(value_of "$keys" DisplayName)"
expect_eq "DisplayVersion" "$version" "$(value_of "$keys" DisplayVersion)"
expect_eq "DisplayIcon" "$dir_win\\tirelma.exe,0" "$(value_of "$keys" DisplayIcon)"
expect_eq "UninstallString" "\"$dir_win\\uninstall.exe\"" "$(value_of "$keys" UninstallString)"
size=$(($(value_of "$keys" EstimatedSize)))
actual=$(du -sk "$dir" | cut -f1)
[ "$size" -gt $((actual * 9 / 10)) ] && [ "$size" -lt $((actual * 11 / 10)) ] ||
    fail "EstimatedSize $size KB for $actual KB installed"
expect_eq "Run value" "\"$dir_win\\tirelma.exe\"" "$(run_value)"
[ -e "$appdata" ] && fail "the installer made the profile folder"

# Signing in again: a new session, whose start (wine's simulated boot)
# runs what the Run key names.
"$WINESERVER" -k
"$WINE" wineboot >>"$W/wine.log" 2>&1
wait_for 200 tray_icon_shown || fail "the Run value did not start the program at sign-in"
expect_eq "one copy running" 1 "$(copies_of tirelma.exe)"
show_fixture
wait_for 100 test -d "$appdata" || fail "no profile folder in %APPDATA%"
demo_profile >"$appdata/Kavoren.ini"
open_main_window
# The main window's switch turns the start at sign-in off (access key S
# in the file menu).
program_windows() { windows_of tirelma.exe . 0 | wc -l; }
more_windows_than() { [ "$(program_windows)" -gt "$1" ]; }
before=$(program_windows)
xdotool key alt+f
wait_for 50 more_windows_than "$before" || fail "the file menu did not open"
xdotool key s
no_run_value() { [ -z "$(run_value)" ]; }
wait_for 50 no_run_value || fail "the main window's switch did not remove the Run value"
focus "$(main_window)"
wait_for 100 reading_copied 1234567890
expect_eq "reading shown" "1234567890" "$(clipboard)"
xdotool key alt+w
wait_for 100 main_window_closed || fail "Alt+W did not close the main window"
printf '1234567890\x81\x5e\r\n' >"$W/expected"
expect_eq "result line in %APPDATA%" "$(bytes_of "$W/expected")" "$(bytes_of "$appdata/Kavoren.txt")"
expect_eq "nothing of the user's beside the program" "" "$(ls "$dir" | grep -i kavoren)"

# A newer build over the running program, the profile edited by hand.
printf '; 手書きのメモ\r\n[自分用]\r\nx=1' | iconv -f UTF-8 -t CP932 >>"$appdata/Kavoren.ini"
cp "$appdata/Kavoren.ini" "$W/profile" && cp "$appdata/Kavoren.txt" "$W/results" ||
    { fail "no profile or no results to keep"; exit 1; }
old_pids=$(pids_of tirelma.exe)
newer="$version.1"
cp -a "$WIN_BUILD/zip/Tirelma" "$W/stage"
printf '\r\n%s\r\n' "$newer" >>"$W/stage/README.txt"
cmake -DSTAGE="$W/stage" -DNSI="$WIN_SOURCE/dist/windows/tirelma.nsi" -DICON="$WIN_BUILD/tirelma.ico" \
    -DOUT="$W/newer-setup.exe" -DVERSION="$newer" -DMAKENSIS="$(command -v makensis)" \
    -DWORK="$W/installer" -DNOCOMPRESS=ON -P "$WIN_SOURCE/cmake/WindowsInstaller.cmake" >"$W/makensis.log" 2>&1 ||
    { fail "could not make the newer installer"; cat "$W/makensis.log"; }
"$WINE" "$W/newer-setup.exe" /S >>"$W/wine.log" 2>&1
expect_eq "the update's exit code" 0 $?
expect_eq "the update replaced the files" "$newer" "$(tail -1 "$dir/README.txt" | tr -d '\r')"
expect_eq "DisplayVersion after the update" "$newer" "$(value_of "$(reg_values "$uninstall_key")" DisplayVersion)"
expect_eq "profile kept byte for byte" "$(bytes_of "$W/profile")" "$(bytes_of "$appdata/Kavoren.ini")"
expect_eq "results kept byte for byte" "$(bytes_of "$W/results")" "$(bytes_of "$appdata/Kavoren.txt")"
[ -n "$old_pids" ] || fail "the program was not running before the update"
for pid in $old_pids; do pids_of tirelma.exe | grep -qx "$pid" && fail "the update did not end the running program"; done
wait_for 300 copies_are tirelma.exe 1 || fail "the update did not start the program again"
wait_for 200 tray_icon_shown || fail "no icon after the update"
expect_eq "the update kept the start at sign-in off" "" "$(run_value)"

# Uninstalled silently: it ends the program; only the user's files stay.
"$WINE" "$dir/uninstall.exe" /S >>"$W/wine.log" 2>&1
wait_for 300 test ! -e "$dir" || fail "the program's folder is still there: $(ls "$dir" 2>&1 | tr '\n' ' ')"
wait_for 100 copies_are tirelma.exe 0 || fail "the uninstaller left the program running"
tray_icon_shown && fail "the icon stayed after the uninstall"
[ -e "$link" ] && fail "the Start menu entry is still there"
reg_values "$uninstall_key" >/dev/null && fail "the uninstall key is still there"
expect_eq "profile kept by the uninstall" "$(bytes_of "$W/profile")" "$(bytes_of "$appdata/Kavoren.ini")"
expect_eq "results kept by the uninstall" "$(bytes_of "$W/results")" "$(bytes_of "$appdata/Kavoren.txt")"

# Installed again and uninstalled by a user who ticks that the settings go
# too: the profile and the default results go, another file of the folder
# stays.
"$WINE" "$setup" /S >>"$W/wine.log" 2>&1
expect_eq "a new installation starts at sign-in" "\"$dir_win\\tirelma.exe\"" "$(run_value)"
echo keep >"$appdata/other.txt"
"$WINE" "$dir/uninstall.exe" >>"$W/wine.log" 2>&1 &
uninstaller() { xdotool search --onlyvisible --name '^Tirelma アンインストール' 2>/dev/null | tail -1; }
has_uninstaller() { [ -n "$(uninstaller)" ]; }
look() { timeout 10 import -window "$1" -depth 8 rgb:- 2>/dev/null | md5sum; }
looks_other() { [ "$(look "$1")" != "$2" ]; }
# Presses keys in the dialog and waits until it shows something else (the
# next page, the ticked box): no key goes to a page that is not there yet.
press() { # keys...
    local w before
    w=$(uninstaller)
    focus "$w"
    before=$(look "$w")
    xdotool key "$@"
    wait_for 100 looks_other "$w" "$before" || fail "the uninstaller did not answer $*"
}
if wait_for 300 has_uninstaller; then
    press Return     # the confirmation page: next
    press Down space # the components page: tick the settings
    xdotool key Return
    wait_for 300 test ! -e "$dir" || fail "the program's folder is still there after the uninstall"
    focus "$(uninstaller)"
    xdotool key Return # the last page: close
    wait_for 100 bash -c "! xdotool search --onlyvisible --name '^Tirelma アンインストール'" ||
        fail "the uninstaller did not close"
else
    fail "no uninstaller window"
fi
expect_eq "ticked: what is left of %APPDATA%\\Tirelma" "other.txt" "$(ls "$appdata" 2>&1)"
expect_eq "Run value after the uninstall" "" "$(run_value)"
reg_values "$uninstall_key" >/dev/null && fail "the uninstall key is still there"
exit $TEST_FAILED
