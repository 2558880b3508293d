# Shared set-up of the end-to-end tests on Wayland: sway's headless backend
# as the compositor, a picture on every output drawn by swaybg (a native
# Wayland client), a session bus of the test's own with a notification area
# and the accessibility bus, and a copy of the program in its own folder.
#
# sway refuses to run as root, and so may the test: as root everything runs
# as the unprivileged user "nobody", from copies of what it needs in a
# folder of its own (the build and the checkout may be closed to it).
#
# Source it from a test script; it runs the script once more as the user,
# inside the session bus, with W the test's folder, then call wl_start.
#   E2E_OUTPUTS   sway output lines (default: one 1280x800 output at 0,0)
#   E2E_SWAY_CONFIG  more lines of sway's configuration
#   E2E_NO_TRAY   no notification area
# Needs: sway swaybg grim wtype dbus python3-dbus python3-gi python3-pyatspi
# imagemagick; for the portal also xdg-desktop-portal xdg-desktop-portal-wlr
# xdg-desktop-portal-gtk pipewire.

set -u
TEST_LOG_TAG=e2e
source "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"
e2e_log() { test_log "$@"; }

if [ -z "${WL_INSIDE:-}" ]; then
    # Outside: the test's folder with copies of what the test needs.
    E2E_BUILD=${E2E_BUILD:?the build folder}
    E2E_SOURCE=${E2E_SOURCE:?the source folder}
    W=$(mktemp -d /tmp/tirelma-wl-XXXXXX)
    mkdir -p "$W/bin" "$W/src/tests/e2e" "$W/src/tests/support" "$W/src/examples" "$W/tools" \
        "$W/run" "$W/home"
    cp "$E2E_BUILD/app/tirelma" "$E2E_BUILD/app/help.html" "$W/bin/"
    cp "$E2E_BUILD/tools/tirelma-read" "$E2E_BUILD/tests/e2e/virtualpointer" "$W/tools/"
    cp "$E2E_SOURCE"/tests/e2e/*.sh "$E2E_SOURCE"/tests/e2e/*.py "$W/src/tests/e2e/"
    cp "$E2E_SOURCE"/tests/support/checks.sh "$W/src/tests/support/"
    cp "$E2E_SOURCE"/examples/* "$W/src/examples/"
    chmod 700 "$W/run"
    script="$W/src/tests/e2e/$(basename "$0")"
    run=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u DBUS_SESSION_BUS_ADDRESS
         WL_INSIDE=1 W="$W" E2E_SOURCE="$W/src" HOME="$W/home" TMPDIR="$W"
         XDG_RUNTIME_DIR="$W/run" XDG_CURRENT_DESKTOP=sway XDG_SESSION_TYPE=wayland
         PATH="$W/fakebin:$PATH")
    if [ "$(id -u)" -eq 0 ]; then
        chown -R nobody:nogroup "$W"
        run=(setpriv --reuid=nobody --regid=nogroup --clear-groups "${run[@]}")
    fi
    "${run[@]}" dbus-run-session -- bash "$script" "$@"
    rc=$?
    if [ $rc -ne 0 ]; then
        cp "$W"/failure-*.png "$E2E_BUILD/" 2>/dev/null
        for f in "$W"/run/*.log "$W"/bin/log*; do
            [ -f "$f" ] && { echo "--- $(basename "$f")"; tail -15 "$f"; }
        done
    fi
    rm -rf "$W"
    exit $rc
fi

# Inside: the user, the session bus.
cd "$W" || exit 1
WL_PIDS=()
wl_cleanup() {
    local pid
    if [ "$TEST_FAILED" -ne 0 ] && [ -n "${WAYLAND_DISPLAY:-}" ]; then
        grim "$W/failure-$(basename "$0" .sh).png" 2>/dev/null
    fi
    for pid in "${WL_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    [ -n "${SWAYSOCK:-}" ] && swaymsg exit >/dev/null 2>&1
    sleep 0.2
    for pid in "${WL_PIDS[@]}"; do kill -9 "$pid" 2>/dev/null; done
}
trap wl_cleanup EXIT

# Ends the compositor and what runs on it, for a test that starts another.
wl_stop() {
    local pid
    swaymsg exit >/dev/null 2>&1
    for pid in "${WL_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${WL_PIDS[@]}"; do wait "$pid" 2>/dev/null; done
    WL_PIDS=()
    exec 7>&-
    rm -f "$W/pointer.in" "$W/pointer.out" "$W/items"
    unset SWAYSOCK WAYLAND_DISPLAY
}

# The picture every output shows: PICTURE (W x H) with example images at
# places, "image x y" each.
wl_picture() { # file width height [image x y]...
    local out=$1 size="$2x$3"; shift 3
    local args=()
    while [ $# -ge 3 ]; do
        args+=("$E2E_SOURCE/examples/$1" -geometry "+$2+$3" -composite); shift 3
    done
    convert -size "$size" xc:'#dde4ee' "${args[@]}" "$out"
}

# sway with the outputs of $E2E_OUTPUTS, swaybg drawing $1 on each output
# ("NAME:FILE" pairs, or one file for all), the notification area and the
# accessibility bus.
wl_start() { # picture...
    {
        echo "output HEADLESS-1 resolution 1280x800 position 0 0"
        [ -n "${E2E_OUTPUTS:-}" ] && printf '%s\n' "$E2E_OUTPUTS"
        echo "default_border none"
        echo "focus_follows_mouse no"
        [ -n "${E2E_SWAY_CONFIG:-}" ] && printf '%s\n' "$E2E_SWAY_CONFIG"
    } >"$W/sway.conf"
    WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        sway -c "$W/sway.conf" >"$W/run/sway.log" 2>&1 &
    WL_PIDS+=($!)
    wait_for 100 compgen -G "$W/run/sway-ipc.*.sock" || { fail "sway did not start"; exit 1; }
    SWAYSOCK=$(compgen -G "$W/run/sway-ipc.*.sock" | head -1)
    WAYLAND_DISPLAY=$(cd "$W/run" && ls wayland-* | grep -v lock | head -1)
    export SWAYSOCK WAYLAND_DISPLAY
    # Outputs beyond the first (E2E_OUTPUTS names them HEADLESS-2...).
    local n
    n=$(printf '%s\n' "${E2E_OUTPUTS:-}" | grep -o 'HEADLESS-[0-9]*' | sort -u | grep -vc 'HEADLESS-1$')
    for _ in $(seq "$n"); do swaymsg create_output >/dev/null; done
    [ -n "${E2E_OUTPUTS:-}" ] && swaymsg reload >/dev/null
    local p
    for p in "$@"; do
        if [[ $p == *:* ]]; then swaybg -o "${p%%:*}" -i "${p#*:}" -m center >/dev/null 2>&1 &
        else swaybg -o '*' -i "$p" -m center >/dev/null 2>&1 &
        fi
        WL_PIDS+=($!)
    done
    # A keyboard for the whole test: the headless seat has none, and each
    # wtype would otherwise bring one and take it away again, a race with
    # the client that binds it when it comes.
    wtype -s 86400000 >/dev/null 2>&1 &
    WL_PIDS+=($!)
    has_keyboard() { swaymsg -t get_seats | grep -q '"type": "keyboard"'; }
    wait_for 50 has_keyboard || fail "no keyboard on the seat"
    # The mouse: a virtual pointer over the whole layout, fed through a pipe.
    local box
    box=$(swaymsg -t get_outputs | /usr/bin/python3 -c 'import json, sys
r = [o["rect"] for o in json.load(sys.stdin) if o.get("active")]
left, top = min(x["x"] for x in r), min(x["y"] for x in r)
print(left, top, max(x["x"] + x["width"] for x in r) - left, max(x["y"] + x["height"] for x in r) - top)')
    mkfifo "$W/pointer.in"
    "$W/tools/virtualpointer" $box <"$W/pointer.in" >"$W/pointer.out" 2>&1 &
    WL_PIDS+=($!)
    exec 7>"$W/pointer.in"
    wait_for 50 grep -q ok "$W/pointer.out" || fail "no virtual pointer: $(cat "$W/pointer.out")"
    # The notification area up before the program starts, as a desktop's
    # panel is: Qt settles at the program's first icon whether a D-Bus
    # notification area is there. E2E_NO_TRAY: none, as GNOME ships.
    if [ -z "${E2E_NO_TRAY:-}" ]; then
        /usr/bin/python3 "$E2E_SOURCE/tests/e2e/sni_watcher.py" "$W/items" >/dev/null 2>&1 &
        WL_PIDS+=($!)
    fi
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    WL_PIDS+=($!)
    wl_bus_has_owner() {
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner "string:$1" | grep -q true
    }
    [ -z "${E2E_NO_TRAY:-}" ] &&
        { wait_for 150 wl_bus_has_owner org.kde.StatusNotifierWatcher || fail "no notification area"; }
    wait_for 150 wl_bus_has_owner org.a11y.Bus || fail "no accessibility bus"
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    # swaybg has drawn when the screen is no longer sway's plain background.
    drawn() { [ "$(grim -t ppm - | convert ppm:- -format '%k' info:)" -gt 2 ]; }
    wait_for 50 drawn ||
        fail "swaybg drew nothing"
}

# The portal on the session bus: xdg-desktop-portal with its wlr backend
# (which needs PipeWire running to start at all) and the gtk one for the
# permission questions the frontend asks.
wl_start_portal() {
    # The portal's processes are started by the bus, with its environment.
    dbus-update-activation-environment WAYLAND_DISPLAY SWAYSOCK XDG_CURRENT_DESKTOP PATH ||
        fail "the bus did not take the display"
    pipewire >"$W/run/pipewire.log" 2>&1 &
    WL_PIDS+=($!)
    wait_for 50 compgen -G "$W/run/pipewire-0" || fail "pipewire did not start"
    # Started, as a desktop session starts it at login: on a busy machine
    # the portal with its backends takes seconds to come up.
    local t0=$(($(date +%s%N) / 1000000))
    dbus-send --session --print-reply --reply-timeout=120000 --dest=org.freedesktop.portal.Desktop \
        /org/freedesktop/portal/desktop org.freedesktop.DBus.Properties.Get \
        string:org.freedesktop.portal.Screenshot string:version >/dev/null ||
        fail "the portal offers no Screenshot"
    e2e_log "the portal came up in $(($(date +%s%N) / 1000000 - t0)) ms"
}

# The demo profile with the area at $1,$2, the result file in $W, and the
# notice of the first start on Wayland already shown unless $3 is "notice".
wl_profile() { # left top [notice]
    sed -e "s/^LEFT=.*/LEFT=$1\r/" -e "s/^TOP=.*/TOP=$2\r/" \
        -e "s|^FILENAME=.*|FILENAME=$W/out.txt\r|" -e "s|^区切り=.*|区切り=/\r|" \
        <(iconv -f CP932 -t UTF-8 "$E2E_SOURCE/examples/Kavoren.ini") >"$W/profile.txt"
    [ "${3:-}" != notice ] && sed -i "s/^\[ENDDATA\]\r$/[ENDDATA]\r\nTRIGGERNOTICE=True\r/" "$W/profile.txt"
    iconv -f UTF-8 -t CP932 "$W/profile.txt" >"$W/bin/Kavoren.ini"
}

wl_run_program() { # log suffix [arguments]
    local log=$1; shift
    (cd "$W/bin" && exec ./tirelma "$@" >"$W/bin/log$log" 2>&1) &
    TIRELMA_PID=$!
    WL_PIDS+=($TIRELMA_PID)
    wait_for 100 grep -q . "$W/items" || fail "no icon in the notification area"
}

# The program's windows, as sway has them.
windows_named() { swaymsg -t get_tree | grep -c "\"name\": \"$1\""; }
main_window_open() { [ "$(windows_named Tirelma)" -ge 1 ]; }
main_window_closed() { [ "$(windows_named Tirelma)" -eq 0 ]; }

texts_of() { /usr/bin/python3 "$E2E_SOURCE/tests/e2e/atspi.py" texts "$1" 2>/dev/null; }
text_box() { /usr/bin/python3 "$E2E_SOURCE/tests/e2e/atspi.py" text "$1" "$2" 2>/dev/null; }
text_is() { [ "$(text_box "$TIRELMA_PID" "$1")" = "$2" ]; }
press() { /usr/bin/python3 "$E2E_SOURCE/tests/e2e/atspi.py" press "$1" "$2" 2>/dev/null; }

# One command to the mouse ("move X Y", "press", "release"), once the
# compositor has it.
pointer() {
    local before
    before=$(grep -c ok "$W/pointer.out")
    echo "$*" >&7
    answered() { [ "$(grep -c ok "$W/pointer.out")" -gt "$before" ]; }
    wait_for 100 answered || fail "the mouse did not $*: $(tail -3 "$W/pointer.out" | xargs)"
}

# A drag with the left button, in logical pixels of sway's layout (halves
# reach the odd physical pixels of an output at scale 2).
drag() { # x1 y1 x2 y2
    pointer move "$1" "$2"
    sleep 0.1
    pointer press
    sleep 0.1
    pointer move "$(awk "BEGIN { print ($1 + $3) / 2 }")" "$(awk "BEGIN { print ($2 + $4) / 2 }")"
    sleep 0.1
    pointer move "$3" "$4"
    sleep 0.1
    pointer release
    sleep 0.3
}
