# What the shell scripts of the desktop tests share (end to end on X11 and
# Wayland, and under wine): a log line with the time, a failure noted
# without stopping the script (which ends with exit $TEST_FAILED), a
# comparison that says what it expected and what it got, and a wait for a
# condition instead of a while. Set TEST_LOG_TAG (e2e, wine) before sourcing:
# lines read "[e2e 12:34:56] ...".
TEST_FAILED=0
test_log() { printf '[%s %s] %s\n' "${TEST_LOG_TAG:-test}" "$(date +%H:%M:%S)" "$*"; }
fail() { test_log "FAIL: $*"; TEST_FAILED=1; }
expect_eq() { # what, expected, actual
    if [ "$2" == "$3" ]; then test_log "ok: $1"; else fail "$1: expected [$2], got [$3]"; fi
}
# Waits until a command succeeds, up to $1 tenths of a second; false when it
# never did.
wait_for() { # tenths, command...
    local tenths=$1
    shift
    for _ in $(seq "$tenths"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}
