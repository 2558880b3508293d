#!/usr/bin/env bash
# Every test program of the Windows build under wine: the core's unit tests
# and the windows driven in-process, here on Qt's windows platform (wine has
# no offscreen one) on an X server of 1280 x 800. Optional argument: the
# desktop's dots per inch (144 for a scale of 150 %); then only the tests
# written to hold at any scale run (on Linux: the scale2. ones).
source "$(dirname "$0")/lib.sh"
WIN_DPI=${1:-96}
any_scale="capture_tests"
# Several monitors exist only on Qt's offscreen platform (a screens file);
# wine's desktop is one monitor.
offscreen_only="capture_monitor_tests"
# The windows platform rounds a window's mapToGlobal() to whole logical
# pixels, so at 150 % a test that places the mouse between logical pixels
# gets the neighbouring one (a real mouse is placed by the system's pointer
# position, GetCursorPos, instead).
between_pixels="OverlayTest.DragInAnyDirectionHandsBackTheAreaInPhysicalPixels"
win_start
WINEPATH=$(win_dll_path)
export WINEPATH

# Runs test program $exe into $log. Windows programs get no QT_* variables
# from wine: the platform goes on the command line (Qt takes it out before
# GoogleTest sees the rest).
run_program() {
    (cd "$(dirname "$exe")" && timeout 900 "$WINE" "$exe" -platform windows --gtest_brief=1 "${filter[@]}" \
        --gtest_output="xml:$(winepath_of "$WIN_BUILD/windows-$name.xml")") >"$log" 2>&1
}

programs=$(find "$WIN_BUILD/tests" -name '*_tests.exe' | sort)
[ -n "$programs" ] || { fail "no test programs in $WIN_BUILD/tests"; exit 1; }
for exe in $programs; do
    name=$(basename "$exe" .exe)
    if grep -qw "$name" <<<"$offscreen_only"; then
        win_log "not under wine: $name (several monitors on Qt's offscreen platform)"
        continue
    fi
    filter=()
    if [ "$WIN_DPI" != 96 ]; then
        grep -qw "$name" <<<"$any_scale" || continue
        name="$name-$WIN_DPI"
        filter=(--gtest_filter="-$between_pixels")
    fi
    log="$WIN_BUILD/windows-$name.log"
    run_program
    rc=$?
    summary=$(grep -E '^\[  (PASSED|FAILED|SKIPPED) ' "$log" | tr '\n' ' ')
    if [ $rc -eq 0 ] && grep -q '^\[  PASSED  \]' "$log"; then
        win_log "ok: $name: $summary"
    else
        # Said plainly when the wine server went away under the program:
        # only a kill of this prefix's server from outside this run does that.
        grep -q '^wine client error' "$log" && win_log "the wine server went away during $name"
        fail "$name (exit $rc): $summary"
        grep -vE 'fixme:|^$' "$log" | tail -40
    fi
done
exit $TEST_FAILED
