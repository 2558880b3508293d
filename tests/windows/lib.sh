# Shared set-up of the tests under wine: the Windows build's own wine prefix,
# a fresh X server, a wine desktop, and helpers to act as a user would.
# Source it; call win_start first. Needs: wine, Xvfb, xdotool, xclip,
# imagemagick, python3. WIN_BUILD is the Windows build folder, WIN_SOURCE
# the source folder.

set -u
WIN_BUILD=${WIN_BUILD:?the Windows build folder}
WIN_SOURCE=${WIN_SOURCE:?the source folder}
WIN_PIDS=()
WINE=$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
# A part that sets WIN_IN_DESKTOP=1 runs every program in one wine desktop,
# a window of 1280 x 800 with a taskbar: it keeps every key and every pixel
# inside wine, so the global Alt state and the screen copy see what the
# user does anywhere. The first program of a wine session opens the desktop
# (win_open_desktop: explorer makes it and stays as its owner); the others
# join it as wine's default desktop of the part (set in the prefix), not
# through a launcher: a program started through a second
# "explorer /desktop=..." could come up on wine's own default desktop,
# with its icon in a tray of its own and no Alt, when that launcher had gone
# before the program was under way. Nor does the desktop wait for a program
# to need it: once, a desktop that wine started for the fixture came up
# without its X display.
WIN_DESKTOP_NAME=tirelma WIN_DESKTOP_SIZE=1280x800

export WINEPREFIX=$WIN_BUILD/wineprefix WINEARCH=win64 WINEDEBUG=${WIN_WINEDEBUG:--all} # wine's own messages: WIN_WINEDEBUG=err+all
export WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko installers
# Wine passes no QT_* variable on to Windows programs: Qt options go on the
# command line (-platform windows).

TEST_LOG_TAG=wine
source "$WIN_SOURCE/tests/support/checks.sh"
win_log() { test_log "$@"; }

# The DLLs of programs run from the build folder: Qt's and the mingw runtime.
win_dll_path() {
    local qt dirs=()
    qt=$(sed -n 's/^Qt6_DIR:PATH=\(.*\)\/lib\/cmake\/Qt6$/\1/p' "$WIN_BUILD/CMakeCache.txt")
    [ -n "$qt" ] && dirs+=("Z:$qt/bin")
    for d in /usr/lib/gcc/x86_64-w64-mingw32/*-posix /usr/x86_64-w64-mingw32/lib; do
        [ -d "$d" ] && dirs+=("Z:$d")
    done
    (IFS=';'; echo "${dirs[*]}")
}

# The prefix is made once per build folder (about 15 s) and kept; one user of
# it at a time.
win_prefix() {
    exec 8>"$WIN_BUILD/wineprefix.lock"
    flock 8
    if [ ! -f "$WINEPREFIX/.tirelma-ready" ]; then
        win_log "making the wine prefix $WINEPREFIX"
        rm -rf "$WINEPREFIX"
        local log=$WIN_BUILD/wineprefix-made.log
        DISPLAY= WINEDEBUG=err+all "$WINE" wineboot -i >"$log" 2>&1
        "$WINESERVER" -w
        # Japanese and Latin UI fonts: IPAGothic stands in for MS Gothic and
        # Meiryo. Imported once the prefix is made and its programs have
        # ended (see win_fresh_prefix).
        DISPLAY= WINEDEBUG=err+all "$WINE" regedit /S "$(winepath_of "$WIN_SOURCE/tests/windows/wine-fonts.reg")" >>"$log" 2>&1
        "$WINESERVER" -w
        # A prefix made in part would fail every program later ("could not
        # load kernel32.dll"): said here, with what wine said, and not kept.
        if [ ! -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ] ||
            ! grep -qxF '"MS Gothic"="IPAGothic"' <(tr -d '\r' <"$WINEPREFIX/user.reg" 2>/dev/null); then
            fail "the wine prefix was not made ($log): $(grep -v 'fixme:' "$log" | tail -15)"
            rm -rf "$WINEPREFIX"
            exit 1
        fi
        touch "$WINEPREFIX/.tirelma-ready"
    fi
}

# A Unix path as the Windows programs see it (wine maps / to Z:).
winepath_of() { printf 'Z:%s' "$1" | tr / '\\'; }

# Whether a process has ended (a child not yet waited for is a zombie).
process_ended() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null)
    [ -z "$state" ] || [[ $state == Z* ]]
}

win_cleanup() {
    xdotool keyup Alt_L 2>/dev/null || true
    # What the screen showed and what the programs said, for a failure.
    local part=${WIN_PART:-$(basename "$0" .sh)}
    if [ "$TEST_FAILED" -ne 0 ] && [ -n "${DISPLAY:-}" ]; then
        import -display "$DISPLAY" -window root "$WIN_BUILD/windows-failure-$part.png" 2>/dev/null
    fi
    if [ "$TEST_FAILED" -ne 0 ] && [ -s "${W:-}/wine.log" ]; then
        grep -v 'fixme:' "$W/wine.log" >"$WIN_BUILD/windows-failure-$part.log"
        win_log "what the programs said (windows-failure-$part.log):"
        tail -20 "$WIN_BUILD/windows-failure-$part.log"
    fi
    "$WINESERVER" -k 2>/dev/null || true
    # The X server gone before the next part starts its own: one still
    # ending holds its display number for a moment.
    for pid in "${WIN_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || continue
        wait_for 50 process_ended "$pid" || kill -9 "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    [ -n "${W:-}" ] && rm -rf "$W"
    if [ -n "${WIN_FRESH_PREFIX:-}" ]; then
        "$WINESERVER" -w 2>/dev/null
        rm -rf "$WIN_FRESH_PREFIX"
    fi
    # Programs started meanwhile hold the lock's file too; let it go for all.
    flock -u 8 2>/dev/null || true
}

# A work folder, the prefix, and a fresh X server of 1280 x 800. The
# desktop's scale: WIN_DPI dots per inch (96 is 100 %, 144 is 150 %).
win_start() {
    W=$(mktemp -d /tmp/tirelma-wine-XXXXXX)
    trap win_cleanup EXIT
    win_prefix
    "$WINESERVER" -k 2>/dev/null || true # nothing left of an earlier run
    # -noreset: a server that resets when its last client leaves turns
    # away a client connecting meanwhile.
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$W/display" 2>/dev/null 8>&- &
    WIN_PIDS+=($!)
    wait_for 50 test -s "$W/display" || { fail "no X server"; exit 1; }
    export DISPLAY=":$(cat "$W/display")"
    # The server names its display before it takes clients.
    wait_for 100 xdpyinfo || fail "the X server takes no clients"
    # With the part's display: where the prefix names a desktop, wine starts
    # that desktop even for these commands, and a desktop started without a
    # display would have none for the programs that join it.
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "${WIN_DPI:-96}" /f >/dev/null 2>&1 || fail "could not set the desktop's scale"
    if [ "${WIN_IN_DESKTOP:-0}" = 1 ]; then
        "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v "$WIN_DESKTOP_NAME" \
            /t REG_SZ /d "$WIN_DESKTOP_SIZE" /f >/dev/null 2>&1 &&
            "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ \
                /d "$WIN_DESKTOP_NAME" /f >/dev/null 2>&1 || fail "could not set the wine desktop"
    else
        "$WINE" reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1
    fi
    "$WINESERVER" -w
}

# Unpacks the portable zip into a folder (made if needed).
win_unzip() { # zip, folder
    mkdir -p "$2"
    python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$1" "$2"
}

win_zip() { ls "$WIN_BUILD"/tirelma-*-windows-x64.zip 2>/dev/null | head -1; }

# Starts a program in the background, from its own folder (in the wine
# desktop where the part has one).
win_run() { # folder, program, arguments...
    local dir=$1; shift
    (cd "$dir" && exec "$WINE" "$@" >>"$W/wine.log" 2>&1) &
}

# The same for the first program of a wine session in a part with a desktop:
# the desktop comes up with it, owned by an explorer that stays.
win_open_desktop() { # folder, program, arguments...
    local dir=$1; shift
    (cd "$dir" && exec "$WINE" explorer /desktop="$WIN_DESKTOP_NAME,$WIN_DESKTOP_SIZE" "$@" \
        >>"$W/wine.log" 2>&1) &
}

# Visible windows of a program (by its .exe name) whose title matches, with
# a width above $3 pixels (leaving out its hidden helper windows).
windows_of() { # program.exe, title pattern, minimum width
    local w
    for w in $(xdotool search --onlyvisible --class "$1" 2>/dev/null); do
        xdotool getwindowname "$w" 2>/dev/null | grep -qE "$2" || continue
        [ "$(window_box "$w" | cut -d' ' -f3)" -gt "${3:-60}" ] && echo "$w"
    done
}

# A window's place on the screen: x y width height. (xdotool counts the
# wine desktop's offset twice for the windows inside it.)
window_box() {
    xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /^ *Width/ {w = $NF} /^ *Height/ {h = $NF} END {print x, y, w, h}'
}

has_windows() { [ -n "$(windows_of "$@")" ]; }

# Gives a window the keyboard. Wine's desktop does not move the X focus to a
# window that a program in the background activates; a user's click would.
focus() { xdotool windowfocus --sync "$1" >/dev/null 2>&1; sleep 0.3; }

press_alt() {
    xdotool keydown Alt_L
    sleep 0.3
    xdotool keyup Alt_L
}

clipboard() { timeout 5 xclip -selection clipboard -o 2>/dev/null; }

# Whether the desktop's notification area (right end of the taskbar) shows
# the program's icon: the red of its magnifier.
tray_icon_shown() {
    local red
    red=$(import -window root -crop 200x32+1080+768 +repage -depth 8 rgb:- 2>/dev/null | python3 -c '
import sys
d = sys.stdin.buffer.read()
print(sum(1 for i in range(0, len(d) - 2, 3) if d[i] > 150 and d[i + 1] < 110 and d[i + 2] < 90))')
    [ "${red:-0}" -ge 4 ]
}

# The processes of a program in this part's prefix (zombies, and programs
# of other wine prefixes on the machine, left out).
pids_of() {
    local p
    for p in $(pgrep -x "$1"); do
        { tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$p"
    done
}
copies_of() { pids_of "$1" | wc -l; }
copies_are() { [ "$(copies_of "$1")" = "$2" ]; }

# A file's bytes, as octal-escaped text for exact comparisons.
bytes_of() { od -An -c "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }

# The fixture: another Windows program showing the example at 950,640.
# "first": it is the first program of the wine session, and opens the
# desktop.
show_fixture() { # [first]
    local run=win_run
    [ "${1:-}" = first ] && run=win_open_desktop
    rm -f "$W/fixture.ready"
    (export WINEPATH; WINEPATH=$(win_dll_path)
     $run "$W" "$WIN_BUILD/tests/e2e/showimage.exe" --ready "$(winepath_of "$W/fixture.ready")" \
         "$(winepath_of "$WIN_SOURCE/examples/counter.png")" 950 640)
    wait_for 600 test -s "$W/fixture.ready" || fail "the fixture shows nothing"
    wait_for 100 has_windows showimage.exe . 0 || fail "no fixture window"
    fixture_window=$(windows_of showimage.exe . 0 | head -1)
}

# The demo profile with its area at the fixture and a full-width solidus as
# the delimiter (CP932, CR LF), on standard output.
demo_profile() {
    iconv -f CP932 -t UTF-8 "$WIN_SOURCE/examples/Kavoren.ini" |
        sed -e 's/^LEFT=.*/LEFT=950\r/' -e 's/^TOP=.*/TOP=640\r/' -e 's|^区切り=.*|区切り=／\r|' |
        iconv -f UTF-8 -t CP932
}

main_window() { windows_of tirelma.exe '^Tirelma$' 200 | head -1; }
main_window_open() { [ -n "$(main_window)" ]; }
main_window_closed() { [ -z "$(main_window)" ]; }
# Alt while another program has the keyboard, as a user would press it.
open_main_window() {
    focus "$fixture_window"
    press_alt
    wait_for 300 main_window_open || { fail "Alt did not open the main window"; return 1; }
    focus "$(main_window)"
}

# Whether the focused text box holds $1. The run may still be scanning:
# for wait_for, which copies until the whole reading is there.
reading_copied() { xdotool key ctrl+a ctrl+c; sleep 0.2; [ "$(clipboard)" = "$1" ]; }

# A prefix of this part's own, made from the prepared one: nothing another
# part installed or registered is in it. Wine's own DLLs (the bulk of it,
# never written after the prefix was made) are shared by hard links where
# the file system allows. Every program of it runs in the wine desktop, also
# one that another program starts (an installer starting Tirelma) or that
# the session starts at sign-in (the Run key).
win_fresh_prefix() {
    local fresh=$WIN_BUILD/wineprefix-fresh d
    "$WINESERVER" -w
    rm -rf "$fresh"
    mkdir -p "$fresh/drive_c/windows"
    for d in "$WINEPREFIX"/* "$WINEPREFIX"/.[!.]* "$WINEPREFIX"/drive_c/*; do
        case $d in */drive_c | */wineserver) continue ;; esac
        cp -a "$d" "$fresh/${d#"$WINEPREFIX"/}"
    done
    for d in "$WINEPREFIX"/drive_c/windows/*; do
        case ${d##*/} in
        system32 | winsxs) cp -al "$d" "$fresh/drive_c/windows/" 2>/dev/null || cp -a "$d" "$fresh/drive_c/windows/" ;;
        *) cp -a "$d" "$fresh/drive_c/windows/" ;;
        esac
    done
    export WINEPREFIX=$fresh
    WIN_FRESH_PREFIX=$fresh
    # The prefix's own wine desktop, and font linking for plain Win32
    # dialogs (the installer's), which then find Japanese glyphs as on a
    # Windows of another language (Qt needs none). All in one import by one
    # program: every wine program started without a display tries to bring
    # up the prefix's desktop, which cannot come up, and a program started
    # right after one that did met that desktop half made and ended before
    # doing anything (reg.exe, once, on a busy machine: the font links were
    # missing and the installer's pages would have shown no Japanese).
    local name=$WIN_DESKTOP_NAME size=$WIN_DESKTOP_SIZE
    python3 - "$W/fresh-prefix.reg" "$name" "$size" <<'PY'
import sys
path, name, size = sys.argv[1:4]
link = ("ipagp.ttf,IPAPGothic\0\0").encode("utf-16-le")
multi = "hex(7):" + ",".join("%02x" % b for b in link)
fonts = ["Tahoma", "DejaVu Sans", "MS Shell Dlg", "MS Shell Dlg 2"]
lines = ["Windows Registry Editor Version 5.00", "",
         r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]"]
lines += ['"%s"=%s' % (f, multi) for f in fonts]
lines += ["", r"[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]", '"%s"="%s"' % (name, size),
          "", r"[HKEY_CURRENT_USER\Software\Wine\Explorer]", '"Desktop"="%s"' % name, ""]
open(path, "w", encoding="utf-16").write("\r\n".join(lines))
PY
    local out
    out=$(DISPLAY= WINEDEBUG=err+all "$WINE" regedit /S "$(winepath_of "$W/fresh-prefix.reg")" 2>&1)
    printf '[regedit fresh-prefix.reg] exit %d\n%s\n' $? "$(tr -d '\r' <<<"$out" | grep -v 'fixme:')" >>"$W/wine.log"
    "$WINESERVER" -w
    # Read back from the hives wine saved on ending (no wine program, which
    # would bring up the desktop again): a key that did not take is said,
    # with what wine said.
    local f said
    said=$(tr -d '\r' <<<"$out" | grep -v 'fixme:' | tail -5)
    for f in Tahoma "DejaVu Sans" "MS Shell Dlg" "MS Shell Dlg 2"; do
        grep -qxF "\"$f\"=str(7):\"ipagp.ttf,IPAPGothic\\0\"" <(tr -d '\r' <"$WINEPREFIX/system.reg") ||
            fail "could not link the font $f: $said"
    done
    grep -qxF "\"Desktop\"=\"$name\"" <(tr -d '\r' <"$WINEPREFIX/user.reg") ||
        fail "could not make the wine desktop the prefix's own: $said"
    "$WINESERVER" -w
}

# A registry key's values, one "name<TAB>type<TAB>data" per line; nothing
# (and failure) when the key is not there.
reg_values() { # key
    local out
    out=$(DISPLAY= "$WINE" reg query "$1" 2>/dev/null) || return 1
    tr -d '\r' <<<"$out" | sed -n 's/^    \([^ ].*\)    \(REG_[A-Z_]*\)    \(.*\)$/\1\t\2\t\3/p'
}
# One value's data out of reg_values' lines.
value_of() { # lines, name
    awk -F'\t' -v n="$2" '$1 == n {print $3}' <<<"$1"
}
