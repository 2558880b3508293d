#!/usr/bin/env bash
# The Debian package: built as scripts/package.sh builds it, its file list and
# dependencies, lintian (with every tag, down to pedantic), the desktop entry
# and AppStream metadata validated, installable by apt. Then unpacked into a
# temporary root: the unpacked reader reads the examples and finds its
# profile in the user's configuration folder (or beside a copied reader); the
# unpacked program started under Xvfb with an empty home shows its icon,
# creates ~/.config/tirelma/ and keeps its profile and result file there,
# nothing beside itself.
source "$E2E_SOURCE/tests/e2e/lib.sh"
e2e_start

# The very programs the other tests ran, when their build has Debian's flags
# (the test command's does); otherwise a build of the package's own.
build=$E2E_BUILD
"$E2E_SOURCE/scripts/package.sh" --configured "$build" || build=$E2E_BUILD/package-build
e2e_log "the package from $build"
deb=$("$E2E_SOURCE/scripts/package.sh" "$build" 2>"$W/package.log") || { cat "$W/package.log"; fail "no package"; exit 1; }
e2e_log "package: $deb ($(stat -c %s "$deb") bytes)"

# What the package holds, exactly.
expected="./usr/bin/tirelma
./usr/bin/tirelma-read
./usr/share/applications/org.tirelma.Tirelma.desktop
./usr/share/doc-base/tirelma
./usr/share/doc/tirelma/changelog.gz
./usr/share/doc/tirelma/copyright
./usr/share/doc/tirelma/help.html"
for size in 128 16 22 24 256 32 48 64; do
    expected+=$'\n'"./usr/share/icons/hicolor/${size}x${size}/apps/tirelma.png"
done
expected+="
./usr/share/icons/hicolor/scalable/apps/tirelma.svg
./usr/share/man/man1/tirelma-read.1.gz
./usr/share/man/man1/tirelma.1.gz
./usr/share/metainfo/org.tirelma.Tirelma.metainfo.xml"
expect_eq "file list" "$(sort <<<"$expected")" "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)"
expect_eq "files owned by root" "" "$(dpkg-deb -c "$deb" | awk '$2 != "root/root"')"
# Found from the programs' libraries, not written by hand.
depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | awk '{print $1}')
for lib in libqt6widgets6 libqt6gui6 libx11-6 libxrandr2 libwayland-client0 libstdc++6; do
    grep -qx "$lib" <<<"$depends" || fail "Depends lacks $lib: $(xargs <<<"$depends")"
done
# What Qt and the desktop bring in at run time on Wayland.
recommends=$(dpkg-deb -f "$deb" Recommends | tr ',' '\n' | awk '{print $1}')
for pkg in qt6-wayland xdg-desktop-portal; do
    grep -qx "$pkg" <<<"$recommends" || fail "Recommends lacks $pkg: $(xargs <<<"$recommends")"
done
expect_eq "package name and section" "tirelma utils" "$(dpkg-deb -f "$deb" Package Section | cut -d' ' -f2 | xargs)"

tags=$(lintian --pedantic --display-info --display-experimental "$deb" 2>&1 | grep -v '^running with root')
expect_eq "lintian tags" "" "$tags"

# The autostart entry only when asked for, in /etc/xdg/autostart/ (the build
# is configured for the prefix /usr).
cmake -DTIRELMA_AUTOSTART=ON "$build" >/dev/null &&
    DESTDIR=$W/auto cmake --install "$build" >/dev/null || fail "install with autostart"
cmake -DTIRELMA_AUTOSTART=OFF "$build" >/dev/null
expect_eq "autostart entry" "$W/auto/etc/xdg/autostart/tirelma.desktop" "$(find "$W/auto/etc" -type f)"
desktop-file-validate "$W/auto/etc/xdg/autostart/tirelma.desktop" || fail "autostart entry not valid"
DESTDIR=$W/plain cmake --install "$build" >/dev/null
[ ! -e "$W/plain/etc" ] || fail "autostart entry installed without the option"

root=$W/root
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/org.tirelma.Tirelma.desktop" >"$W/v.txt" 2>&1 ||
    fail "desktop-file-validate: $(cat "$W/v.txt")"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.tirelma.Tirelma.metainfo.xml" >"$W/v.txt" 2>&1 ||
    fail "appstreamcli validate: $(cat "$W/v.txt")"
# By its full path, as KWin wants it for its screenshot interface.
grep -q '^Exec=/usr/bin/tirelma$' "$root/usr/share/applications/org.tirelma.Tirelma.desktop" ||
    fail "Exec is not /usr/bin/tirelma"
grep -q '^X-KDE-DBUS-Restricted-Interfaces=org.kde.KWin.ScreenShot2$' \
    "$root/usr/share/applications/org.tirelma.Tirelma.desktop" || fail "KWin's screenshot is not asked for"
for page in tirelma tirelma-read; do
    # Rendered to the end (a page that cannot be read warns nothing either).
    text=$(man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>"$W/man.err")
    grep -q "^NAME" <<<"$text" || fail "manual page $page does not render: $(cat "$W/man.err")"
    expect_eq "manual page $page without warnings" "" "$(cat "$W/man.err")"
done
apt-get install -s "$deb" >"$W/apt.txt" 2>&1 && grep -q '^Inst tirelma ' "$W/apt.txt" ||
    fail "apt-get cannot install the package: $(tail -5 "$W/apt.txt")"

# The unpacked reader on the examples.
reader=$root/usr/bin/tirelma-read
for image in counter.png position.ppm small.bmp; do
    expect_eq "unpacked reader: $image" "$(cat "$E2E_SOURCE/examples/${image%.*}.expected")" \
        "$("$reader" --profile "$E2E_SOURCE/examples/Kavoren.ini" "$E2E_SOURCE/examples/$image")"
done

# An installed reader looks for the profile in the configuration folder,
# even though the unpacked folder is ours to write.
home=$W/home
"$reader" "$E2E_SOURCE/examples/small.bmp" >/dev/null 2>"$W/err"
expect_eq "no profile yet (exit)" 2 $?
grep -qF "$home/.config/tirelma/Kavoren.ini" "$W/err" || fail "looked elsewhere: $(cat "$W/err")"
mkdir -p "$W/xdg/tirelma" && cp "$E2E_SOURCE/examples/Kavoren.ini" "$W/xdg/tirelma/"
expect_eq "profile in XDG_CONFIG_HOME" "-0.5" "$(XDG_CONFIG_HOME=$W/xdg "$reader" "$E2E_SOURCE/examples/small.bmp")"
[ ! -e "$home/.config/tirelma" ] || fail "the reader made its folder"

# A copied reader keeps its profile beside it.
mkdir "$W/portable" && cp "$reader" "$W/portable/"
"$W/portable/tirelma-read" "$E2E_SOURCE/examples/small.bmp" >/dev/null 2>"$W/err"
grep -qF "$W/portable/Kavoren.ini" "$W/err" || fail "a copied reader looked elsewhere: $(cat "$W/err")"
cp "$E2E_SOURCE/examples/Kavoren.ini" "$W/portable/"
expect_eq "copied reader, profile beside it" "-0.5" "$("$W/portable/tirelma-read" "$E2E_SOURCE/examples/small.bmp")"

# The unpacked program: its icon appears, its folder is made, and what it
# writes goes there.
(cd / && exec "$root/usr/bin/tirelma" >"$W/log1" 2>&1) &
TIRELMA_PID=$!
E2E_PIDS+=($TIRELMA_PID)
wait_for 100 tray_icons_is 1 || fail "no icon in the notification area"
[ -d "$home/.config/tirelma" ] || fail "no configuration folder: $(find "$home")"
open_main_window
xdotool key alt+w
wait_for 50 main_window_closed || fail "Alt+W did not close the main window"
wait_for 50 test -f "$home/.config/tirelma/Kavoren.ini" || fail "no profile in the configuration folder"
grep -q '^\[Tirelma\]' "$home/.config/tirelma/Kavoren.ini" || fail "the window's place was not stored"
[ -f "$home/.config/tirelma/Kavoren.txt" ] || fail "the default result file is not beside the profile"
expect_eq "nothing beside the program" "tirelma tirelma-read" "$(ls "$root/usr/bin" | xargs)"
kill -0 "$TIRELMA_PID" || fail "the program ended"
kill "$TIRELMA_PID"
wait_for 100 tray_icons_is 0 || fail "the installed copy did not end"

# The same program copied into a folder of its own keeps everything there.
export HOME=$W/home2
mkdir "$HOME" "$W/copy" && cp "$root/usr/bin/tirelma" "$W/copy/"
(cd / && exec "$W/copy/tirelma" >"$W/log2" 2>&1) &
TIRELMA_PID=$!
E2E_PIDS+=($TIRELMA_PID)
wait_for 100 tray_icons_is 1 || fail "no icon for the copied program"
open_main_window
xdotool key alt+w
wait_for 50 main_window_closed || fail "Alt+W did not close the copied program's window"
wait_for 50 test -f "$W/copy/Kavoren.ini" || fail "no profile beside the copied program"
[ -f "$W/copy/Kavoren.txt" ] || fail "no result file beside the copied program"
[ ! -e "$HOME/.config/tirelma" ] || fail "the copied program made a configuration folder"
exit $TEST_FAILED
