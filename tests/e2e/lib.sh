# Shared set-up of the end-to-end tests: a fresh X server with a window
# manager and a notification area, a copy of the program in its own folder
# with a profile beside it, and helpers to act as a user would.
# Source it; call e2e_start first (E2E_SCREEN sets the X screen's size,
# 1280x800x24 unless given). Needs: Xvfb openbox trayer xdotool xclip
# x11-utils imagemagick.

set -u
# The accessibility bus needs a session bus: run the whole test inside one.
if [ -z "${E2E_IN_SESSION:-}" ]; then
    export E2E_IN_SESSION=1
    exec dbus-run-session -- "$0" "$@"
fi
E2E_BUILD=${E2E_BUILD:?the build folder}
E2E_SOURCE=${E2E_SOURCE:?the source folder}
E2E_PIDS=()
TEST_LOG_TAG=e2e
source "$E2E_SOURCE/tests/support/checks.sh"
e2e_log() { test_log "$@"; }

e2e_cleanup() {
    local pid
    xdotool keyup Alt_L 2>/dev/null || true
    # The screen as the failure left it, while the X server still runs.
    if [ "$TEST_FAILED" -ne 0 ] && [ -n "${W:-}" ]; then
        import -display "$DISPLAY" -window root "$W/failure.png" 2>/dev/null && cp "$W/failure.png" "$E2E_BUILD/e2e-failure-$(basename "$0" .sh).png"
    fi
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    # The accessibility registry is started by the bus, not by us: end only
    # the one of this test (other tests may run at the same time).
    local reg
    for reg in $(pgrep -U "$(id -u)" -f "at-spi2-registryd" 2>/dev/null); do
        [ -n "${W:-}" ] && tr '\0' '\n' <"/proc/$reg/environ" 2>/dev/null | grep -qx "TMPDIR=$W" &&
            kill "$reg" 2>/dev/null
    done
    sleep 0.2
    for pid in "${E2E_PIDS[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
    # Gone before the next test starts: an X server still ending keeps its
    # display, and a program of the next test could reach it instead of
    # that test's own.
    for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null; done
    if [ "$TEST_FAILED" -ne 0 ] && [ -n "${W:-}" ]; then
        e2e_log "program log:"; cat "$W"/bin/log* 2>/dev/null | tail -20
        [ -s "$W/openbox.log" ] && { e2e_log "window manager log:"; tail -20 "$W/openbox.log"; }
    fi
    [ -n "${W:-}" ] && rm -rf "$W"
}

wm_ready() { xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_ACTIVE_WINDOW; }

bus_has_owner() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner "string:$1" | grep -q true
}

# The notification area: a panel at the bottom right (e2e_start starts it
# unless E2E_NO_TRAY is set).
e2e_tray() {
    trayer --edge bottom --align right --widthtype request --height 32 >"$W/trayer.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for 300 xdotool search --class trayer || fail "no notification area: $(cat "$W/trayer.log")"
}

e2e_start() {
    W=$(mktemp -d /tmp/tirelma-e2e-XXXXXX)
    trap e2e_cleanup EXIT
    export TMPDIR=$W XDG_RUNTIME_DIR=$W/run HOME=$W/home
    mkdir -m 700 "$W/run" && mkdir "$W/home" "$W/bin"
    # -noreset: by default the server resets when its last client leaves,
    # and a client that connects during the reset (the window manager right
    # after the readiness check below) is turned away.
    # E2E_XVFB_ARGS: an array of more options for the server.
    Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1280x800x24}" -nolisten tcp -noreset \
        ${E2E_XVFB_ARGS[@]+"${E2E_XVFB_ARGS[@]}"} 3>"$W/display" 2>/dev/null &
    E2E_PIDS+=($!)
    wait_for 50 test -s "$W/display" || { fail "no X server"; exit 1; }
    export DISPLAY=":$(cat "$W/display")"
    # The server names its display before it takes clients: a window
    # manager that came too early could not open it.
    wait_for 100 xdpyinfo || fail "the X server takes no clients"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM
    # The window manager up before anything shows a window: one that is
    # still starting leaves the windows of the test unmanaged, and no window
    # is ever the active one.
    openbox --sm-disable >"$W/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for 300 wm_ready || fail "no window manager: $(cat "$W/openbox.log")"
    [ -n "${E2E_NO_TRAY:-}" ] || e2e_tray
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    wait_for 150 bus_has_owner org.a11y.Bus || fail "no accessibility bus"
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    cp "$E2E_BUILD/app/tirelma" "$E2E_BUILD/app/help.html" "$W/bin/"
}

# The demo profile, the area moved to $1,$2 and the result file in $W.
e2e_profile() {
    sed -e "s/^LEFT=.*/LEFT=$1\r/" -e "s/^TOP=.*/TOP=$2\r/" \
        -e "s|^FILENAME=.*|FILENAME=$W/out.txt\r|" -e "s|^区切り=.*|区切り=/\r|" \
        <(iconv -f CP932 -t UTF-8 "$E2E_SOURCE/examples/Kavoren.ini") | iconv -f UTF-8 -t CP932 > "$W/bin/Kavoren.ini"
}

# Replaces a key's value in the profile by hand (the program sees it at once).
e2e_set() { # key, value
    iconv -f CP932 -t UTF-8 "$W/bin/Kavoren.ini" | sed "s|^$1=.*|$1=$2\r|" | iconv -f UTF-8 -t CP932 > "$W/edit.ini"
    mv "$W/edit.ini" "$W/bin/Kavoren.ini"
}

# A window showing an example image at a screen position; with a size WxH,
# white around the image up to that size (a short number in a wider field);
# with more images, each SIGUSR1 to FIXTURE_PID shows the next one. It
# replaces the window shown before: that one is gone, and the new picture
# on the screen, when this returns.
FIXTURE_PID=
e2e_show() { # image, x, y [, size [, image...]]
    e2e_end_fixture
    local image=$1 x=$2 y=$3 size=${4:-} more=() m
    shift 3; [ $# -gt 0 ] && shift
    for m in "$@"; do more+=("$E2E_SOURCE/examples/$m"); done
    e2e_fixture ${size:+--pad "$size"} "$E2E_SOURCE/examples/$image" "$x" "$y" "${more[@]}"
    FIXTURE_PID=$E2E_FIXTURE
}

# One more such window, beside the one e2e_show shows.
e2e_show_also() { # image, x, y
    e2e_fixture "$E2E_SOURCE/examples/$1" "$2" "$3"
}

# Starts the fixture with its arguments; returns once its first picture is
# on the screen. Its process number: E2E_FIXTURE.
E2E_FIXTURES=0
e2e_fixture() {
    local ready=$W/fixture-$((E2E_FIXTURES += 1)).ready
    QT_SCALE_FACTOR=1 "$E2E_BUILD/tests/e2e/showimage" --ready "$ready" "$@" &
    E2E_FIXTURE=$!
    E2E_PIDS+=($E2E_FIXTURE)
    wait_for 300 test -s "$ready" || fail "the fixture shows nothing"
}

# Ends the window e2e_show showed and waits until it is off the screen.
e2e_end_fixture() {
    [ -n "$FIXTURE_PID" ] || return 0
    kill "$FIXTURE_PID" 2>/dev/null
    wait "$FIXTURE_PID" 2>/dev/null
    wait_for 100 no_windows_of "$FIXTURE_PID" || fail "the fixture's window stayed"
    FIXTURE_PID=
}
no_windows_of() { [ -z "$(xdotool search --pid "$1" 2>/dev/null)" ]; }

# Starts the program from its folder; waits for its icon.
e2e_run_program() {
    (cd "$W/bin" && exec ./tirelma >"$W/bin/log$1" 2>&1) &
    TIRELMA_PID=$!
    E2E_PIDS+=($TIRELMA_PID)
    wait_for 60 tray_icons_is 1 || fail "no icon in the notification area"
}

tray_icons_is() { [ "$(xwininfo -root -tree | grep -A50 '"panel"' | grep -c '("tirelma" "Tirelma")')" = "$1" ]; }
icon_window() { xwininfo -root -tree | grep -A50 '"panel"' | grep '("tirelma" "Tirelma")' | head -1 | awk '{print $1}'; }

# The program's visible windows titled Tirelma, apart from its icon (which
# bears the same title): the main window, a dialog, a message box.
windows_of() { # pid [title pattern]
    local w
    for w in $(xdotool search --onlyvisible --pid "$1" --name "${2:-.}" 2>/dev/null); do
        [ "$(xdotool getwindowgeometry "$w" | awk '/Geometry/ {split($2, s, "x"); print s[1]}')" -gt 60 ] && echo "$w"
    done
}
main_window() { windows_of "$TIRELMA_PID" '^Tirelma$' | head -1; }
main_window_open() { [ -n "$(main_window)" ]; }
main_window_closed() { [ -z "$(main_window)" ]; }

# Waits for a visible window of the program (the last one mapped, when
# several: a dialog over its owner) and gives it the keyboard.
focus_window() { # pid [title pattern]
    local w=""
    for _ in $(seq 50); do
        w=$(windows_of "$1" "${2:-.}" | tail -1)
        [ -n "$w" ] && break
        sleep 0.1
    done
    [ -n "$w" ] || return 1
    xdotool windowactivate --sync "$w" >/dev/null 2>&1 || xdotool windowfocus --sync "$w" >/dev/null 2>&1
    sleep 0.2
}

press_alt() {
    xdotool keydown Alt_L
    sleep 0.3
    xdotool keyup Alt_L
}

# Keys that open a menu or a window of the program (Alt+F, the overlay's
# Alt+P): returns once one more of its windows is on the screen.
windows_count() { xdotool search --onlyvisible --pid "$TIRELMA_PID" 2>/dev/null | wc -l; }
more_windows_than() { [ "$(windows_count)" -gt "$1" ]; }
fewer_windows_than() { [ "$(windows_count)" -lt "$1" ]; }
press_to_open() { # keys...
    local before
    before=$(windows_count)
    xdotool key "$@"
    wait_for 100 more_windows_than "$before" || { fail "nothing opened on $*"; return 1; }
}

# The main window's file menu, then the entry of access key $1.
file_menu() { # key
    press_to_open alt+f || return 1
    xdotool key "$1"
}

# Alt, then the main window with the keyboard.
open_main_window() {
    press_alt
    wait_for 100 main_window_open || { fail "Alt did not open the main window"; return 1; }
    focus_window "$TIRELMA_PID" '^Tirelma$'
    sleep 0.3
}

# What the program's windows say, through the accessibility bus.
texts_of() { /usr/bin/python3 "$E2E_SOURCE/tests/e2e/atspi.py" texts "$1" 2>/dev/null; }
text_box() { /usr/bin/python3 "$E2E_SOURCE/tests/e2e/atspi.py" text "$1" "$2" 2>/dev/null; }

# Whether the program's text box labelled $1 holds $2 (for wait_for).
text_is() { [ "$(text_box "$TIRELMA_PID" "$1")" = "$2" ]; }

# What has the keyboard, as a screen reader hears it: role, name, text and
# description, one per line.
focused_object() { /usr/bin/python3 "$E2E_SOURCE/tests/e2e/atspi.py" focused "$1" 2>/dev/null; }
focused_is() { # role, name, text
    [ "$(focused_object "$TIRELMA_PID" | head -3)" = "$(printf '%s\n%s\n%s' "$1" "$2" "$3")" ]
}

# Whether something of the program named $1 is on the screen, or not.
showing() { [ "$(/usr/bin/python3 "$E2E_SOURCE/tests/e2e/atspi.py" showing "$TIRELMA_PID" "$1" 2>/dev/null)" = yes ]; }
not_showing() { [ "$(/usr/bin/python3 "$E2E_SOURCE/tests/e2e/atspi.py" showing "$TIRELMA_PID" "$1" 2>/dev/null)" = no ]; }

where_is() { /usr/bin/python3 "$E2E_SOURCE/tests/e2e/atspi.py" where "$@" 2>/dev/null; }

# Clicks the middle of an object found by name (a button, a list item...).
click_on() { # pid, name [, item]
    local x y w h
    read -r x y w h < <(where_is "$@") || { fail "nothing named $2 ${3:-}"; return 1; }
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
    sleep 0.3
}

# A drag with the left button, in small steps so that every move is seen.
drag() { # x1 y1 x2 y2
    xdotool mousemove "$1" "$2" mousedown 1
    sleep 0.1
    xdotool mousemove $((($1 + $3) / 2)) $((($2 + $4) / 2))
    sleep 0.1
    xdotool mousemove "$3" "$4"
    sleep 0.1
    xdotool mouseup 1
    sleep 0.3
}

# Result file lines, in UTF-8.
result_file() { [ -f "$1" ] && iconv -f CP932 -t UTF-8 "$1"; }

# Splits the X screen into monitors (after e2e_start, before the program):
# NAME:WxH+X+Y[:primary] each, in root-window coordinates.
e2e_monitors() {
    "$E2E_BUILD/tests/e2e/setmonitors" "$@" >/dev/null || fail "could not set the monitors $*"
}

# A screenshot of the whole X screen, or of a part of it (WxH+X+Y).
screenshot() { # file [geometry]
    if [ -n "${2:-}" ]; then import -window root -crop "$2" +repage "$1"; else import -window root "$1"; fi
}

# Where an image appears pixel for pixel in a screenshot: "x y" lines.
find_image() { "$E2E_BUILD/tests/e2e/findimage" "$1" "$2"; }

# A window's place on the screen, in physical pixels: "WxH+X+Y".
window_geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /^ +Width/ {w=$NF} /^ +Height/ {h=$NF} END {print w "x" h "+" x "+" y}'
}

# The editor from the main window's menu.
open_editor() {
    open_main_window
    file_menu a # 認識エリア指定、キャラクタ登録(&A)
}

# On a new profile the editor asks for the first area's name and then at
# once for its group's; Enter answers.
# (One dialog asks both: its text box is named by the question.)
first_area_and_group() { # area, group
    focus_window "$TIRELMA_PID" "新規追加" || { fail "no dialog for a new area"; return 1; }
    xdotool type "$1"
    xdotool key Return
    wait_for 100 showing "キャラクタグループ名" || { fail "no question for a group"; return 1; }
    focus_window "$TIRELMA_PID" "新規追加" || { fail "no dialog for a new group"; return 1; }
    xdotool type "$2"
    xdotool key Return
    wait_for 100 not_showing "キャラクタグループ名" || fail "the dialog for a new group stayed"
}

# The editor's capture by drawing: its overlay, and a drag over x, y, w, h.
capture_by_drawing() { # x y width height
    focus_window "$TIRELMA_PID" "認識エリアとキャラクタ登録"
    local before
    before=$(windows_count)
    press_to_open alt+p || return 1
    drag "$1" "$2" $(($1 + $3)) $(($2 + $4))
    # The overlay gone and the editor showing the area dragged.
    wait_for 100 fewer_windows_than $((before + 1)) || fail "the overlay stayed after the drag"
    wait_for 100 text_is Width "$3" || fail "the editor did not take the dragged area"
}
