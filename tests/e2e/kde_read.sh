#!/usr/bin/env bash
# KDE Plasma 5.27 on Wayland (kwin_wayland --virtual, xdg-desktop-portal-kde):
# the screen read exactly, through KWin's own screenshot interface where a
# desktop entry lets the program in, through KDE's portal otherwise; and
# what the user is told where KDE's portal cancels (no pictures folder).
# Not part of the test run (it needs the KDE packages below): run it by hand
# from the build folder, `../tests/e2e/kde_read.sh`.
# Needs: kwin-wayland xdg-desktop-portal-kde qtwayland5 plasma-workspace
# qml-module-org-kde-kirigami2 qml-module-qtquick-controls2
# qml-module-qtquick-layouts imagemagick dbus.
set -u
TEST_LOG_TAG=kde
source "$(dirname "$0")/../support/checks.sh"
E2E_BUILD=${E2E_BUILD:-$PWD}
E2E_SOURCE=${E2E_SOURCE:-$(cd "$(dirname "$0")/../.." && pwd)}

if [ -z "${KDE_INSIDE:-}" ]; then
    for tool in kwin_wayland kbuildsycoca5 convert dbus-run-session; do
        command -v "$tool" >/dev/null || { echo "kde_read: $tool is missing"; exit 77; }
    done
    W=$(mktemp -d /tmp/tirelma-kde-XXXXXX)
    mkdir -p "$W/bin" "$W/run" "$W/home" "$W/data/applications" "$W/cache" "$W/config"
    chmod 700 "$W/run"
    cp "$E2E_BUILD/tools/tirelma-read" "$E2E_BUILD/tests/e2e/showimage" "$W/bin/"
    # kwin_wayland carries a file capability that a container may not
    # grant (exec then fails); a copy runs without it.
    cp "$(command -v kwin_wayland)" "$W/bin/kwin_wayland"
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u DBUS_SESSION_BUS_ADDRESS \
        KDE_INSIDE=1 W="$W" E2E_SOURCE="$E2E_SOURCE" HOME="$W/home" TMPDIR="$W" \
        XDG_RUNTIME_DIR="$W/run" XDG_DATA_HOME="$W/data" XDG_CACHE_HOME="$W/cache" \
        XDG_CONFIG_HOME="$W/config" XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true \
        KDE_SESSION_VERSION=5 XDG_SESSION_TYPE=wayland \
        dbus-run-session -- bash "$0" "$@"
    rc=$?
    [ $rc -ne 0 ] && for f in "$W"/run/*.log; do echo "--- $f"; tail -15 "$f"; done
    rm -rf "$W"
    exit $rc
fi

cd "$W" || exit 1
PIDS=()
trap 'for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null; done' EXIT
reader=$W/bin/tirelma-read

# A desktop entry that lets tirelma-read in, as the installed one does for
# tirelma, known to KWin's application database before KWin starts.
cat >"$W/data/applications/org.tirelma.Reader.desktop" <<EOF
[Desktop Entry]
Type=Application
Name=Tirelma reader
Exec=$reader
NoDisplay=true
X-KDE-DBUS-Restricted-Interfaces=org.kde.KWin.ScreenShot2
EOF
kbuildsycoca5 >"$W/run/sycoca.log" 2>&1

"$W/bin/kwin_wayland" --virtual --width 1280 --height 800 --socket wayland-kde \
    --no-lockscreen --no-global-shortcuts >"$W/run/kwin.log" 2>&1 &
PIDS+=($!)
wait_for 150 test -S "$W/run/wayland-kde" || { fail "kwin_wayland did not start"; exit 1; }
export WAYLAND_DISPLAY=wayland-kde QT_QPA_PLATFORM=wayland
dbus-update-activation-environment WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_CURRENT_DESKTOP \
    KDE_FULL_SESSION KDE_SESSION_VERSION || fail "the bus did not take the display"
kwin_up() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.kde.KWin.ScreenShot2 | grep -q true
}
wait_for 150 kwin_up || fail "KWin offers no ScreenShot2"

# The whole screen one picture, the counter at 950,640 on it.
convert -size 1280x800 xc:'#dde4ee' "$E2E_SOURCE/examples/counter.png" -geometry +950+640 \
    -composite "$W/desk.png"
"$W/bin/showimage" --ready "$W/shown" "$W/desk.png" 0 0 >"$W/run/showimage.log" 2>&1 &
PIDS+=($!)
wait_for 100 test -s "$W/shown" || fail "the picture was not shown"
sed -e "s/^LEFT=.*/LEFT=950\r/" -e "s/^TOP=.*/TOP=640\r/" \
    <(iconv -f CP932 -t UTF-8 "$E2E_SOURCE/examples/Kavoren.ini") | iconv -f UTF-8 -t CP932 >"$W/profile.ini"
pictures=$W/home/Pictures

# KWin's own way: exact, and nothing left in the pictures folder (there is none).
expect_eq "tirelma-read through KWin" "1234567890" \
    "$("$reader" --profile "$W/profile.ini" --screen 2>"$W/err")"
[ -s "$W/err" ] && fail "tirelma-read said: $(cat "$W/err")"

# KDE's portal without the pictures folder: cancelled, and the user is
# told which folder to make.

TIRELMA_WAYLAND_CAPTURE=portal "$reader" --profile "$W/profile.ini" --screen >"$W/out" 2>"$W/err"
expect_eq "exit code where the portal cancels" 5 "$?"
grep -q "$pictures" "$W/err" || fail "the folder to make is not named: $(cat "$W/err")"
test_log "told: $(cat "$W/err")"

# With the folder: the portal reads exactly, and its picture goes again.
mkdir -p "$pictures"
expect_eq "tirelma-read through KDE's portal" "1234567890" \
    "$(TIRELMA_WAYLAND_CAPTURE=portal "$reader" --profile "$W/profile.ini" --screen 2>"$W/err")"
[ -s "$W/err" ] && fail "tirelma-read said: $(cat "$W/err")"
expect_eq "no picture left behind" "" "$(ls "$pictures")"

# A copy that no desktop entry names: KWin refuses it, and the portal reads.
cp "$reader" "$W/bin/unnamed-reader"
expect_eq "tirelma-read refused by KWin, through the portal" "1234567890" \
    "$("$W/bin/unnamed-reader" --profile "$W/profile.ini" --screen 2>"$W/err")"
[ -s "$W/err" ] && fail "tirelma-read said: $(cat "$W/err")"
expect_eq "no picture left behind by the portal" "" "$(ls "$pictures")"
exit $TEST_FAILED
