#!/usr/bin/env bash
# Started where there is no display at all, the program says what is missing
# and ends with 1, instead of being ended by Qt.
set -u
program=${1:?the program}
tmp=$(mktemp -d)
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM TMPDIR="$tmp" "$program" 2>&1)
rc=$?
rm -rf "$tmp"
echo "$out"
[ $rc -eq 1 ] || { echo "FAIL: exit $rc, expected 1"; exit 1; }
grep -q '^tirelma: no X display' <<<"$out" || { echo "FAIL: no message"; exit 1; }
echo "ok"
