#!/usr/bin/env bash
# Runs the tests that drive a real desktop again and again, to show that they
# pass every time and not only now and then: the resident parts of
# scripts/windows-test.sh (resident, resident-150), its installer part
# (install, in a fresh wine prefix each run) and the Linux end-to-end
# tests (ctest -L e2e, the package test included). Every run goes through to
# the end, failed or not; the tally comes last, and the exit code is 1 when
# any run failed. The output of each run is kept in the log folder.
#
#   scripts/repeat-tests.sh [--windows N] [--install N] [--e2e N] [--build FOLDER] [--logs FOLDER]
#
# Defaults: 20 Windows runs, no installer runs, 10 Linux runs, the test command's build-tests/
# (built already, as by scripts/test.sh build), logs in build-repeat/.
set -uo pipefail
cd "$(dirname "$0")/.."

windows=20 install=0 e2e=10 build=build-tests logs=build-repeat
while [ $# -gt 0 ]; do
    case $1 in
    --windows) windows=$2; shift 2 ;;
    --install) install=$2; shift 2 ;;
    --e2e) e2e=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --logs) logs=$2; shift 2 ;;
    *) echo "usage: $0 [--windows N] [--install N] [--e2e N] [--build FOLDER] [--logs FOLDER]" >&2; exit 1 ;;
    esac
done
mkdir -p "$logs"

# One series: the name, how many runs, the command of one run.
tally=()
any_failed=0
series() {
    local name=$1 runs=$2 passed=0 failed=0 i start log
    shift 2
    for i in $(seq "$runs"); do
        log=$logs/$name-$i.log
        start=$SECONDS
        if "$@" >"$log" 2>&1; then
            passed=$((passed + 1))
            echo "$name $i/$runs: passed in $((SECONDS - start)) s"
        else
            failed=$((failed + 1))
            echo "$name $i/$runs: FAILED in $((SECONDS - start)) s ($log)"
            grep -E 'FAIL|Failed|\*\*\*' "$log" | sed 's/^/    /' | head -20
        fi
    done
    tally+=("$(printf '%-10s %3d runs: %3d passed, %3d failed' "$name" "$runs" "$passed" "$failed")")
    [ "$failed" -eq 0 ] || any_failed=1
}

[ "$windows" -gt 0 ] && series windows "$windows" ./scripts/windows-test.sh resident resident-150
[ "$install" -gt 0 ] && series install "$install" ./scripts/windows-test.sh install
[ "$e2e" -gt 0 ] && series e2e "$e2e" ctest --test-dir "$build" --output-on-failure -L e2e

echo "== tally"
printf '%s\n' "${tally[@]}"
exit $any_failed
