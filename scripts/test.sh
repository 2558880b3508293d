#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test, part by part:
#
#   deps           the Debian packages of scripts/install-deps.sh test
#   build          the program and its tests in build-tests/, with Debian's
#                  hardening flags (as scripts/package.sh builds the package)
#   unit           the unit and widget tests, two at a time
#   e2e            the end-to-end tests on real X servers, one at a time
#   package        the Debian package, packed from build-tests/ (no second build)
#   asan           the unit tests again under AddressSanitizer and
#                  UndefinedBehaviorSanitizer
#   robustness     fuzzing and clang-tidy (scripts/test-robustness.sh)
#   windows-build  the Windows program, built with mingw-w64
#   windows        its tests under wine (scripts/windows-test.sh)
#   format         clang-format over every C++ file
#
#   scripts/test.sh [PART]...      every part, or the ones named, in this order
#
# Each part ends with a line of its seconds; the run ends with a table of
# them (also when a part fails, which ends the run). A part that left
# something untested says so in its row of the table, and the last line
# then names it instead of "All tests passed." (the Windows parts without
# a Qt for Windows, tests that skipped themselves). To add a part, write a
# function part_NAME (dashes in NAME become underscores) and put NAME in
# PARTS where it belongs; it calls untested "what" for anything it left out.
set -euo pipefail
cd "$(dirname "$0")/.."

PARTS=(deps build unit e2e package asan robustness windows-build windows format)

# Ninja's progress lines say nothing once a build works.
no_progress() { sed '/^\[[0-9]*\/[0-9]*\] /d'; }

# What the running part left untested, for its row and the last line.
declare -A left_out=()
untested() { left_out[$current]="${left_out[$current]:+${left_out[$current]}; }$1"; }

# ctest, with the tests that skipped themselves (a check this machine or
# user cannot make) named as untested.
run_ctest() {
    local log skipped
    log=$(mktemp)
    ctest "$@" 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    skipped=$(sed -n 's/^ *[0-9]*\/[0-9]* *Test *#[0-9]*: *\([^ ]*\) .*\*\*\*Skipped.*/\1/p' "$log" | tr '\n' ' ')
    rm -f "$log"
    [ -z "$skipped" ] || untested "$(wc -w <<<"$skipped") skipped: ${skipped% }"
    return "$rc"
}

# Whether the Windows build is the core only (no Qt for Windows was found).
windows_core_only() { grep -q '^TIRELMA_GUI:BOOL=OFF' build-win/CMakeCache.txt 2>/dev/null; }

part_deps() { ./scripts/install-deps.sh test; }

part_build() {
    local deb
    mapfile -t deb < <(./scripts/package.sh --cmake-args)
    cmake -S . -B build-tests -G Ninja "${deb[@]}" >/dev/null
    cmake --build build-tests -j2 | no_progress
}

part_unit() { run_ctest --test-dir build-tests --output-on-failure -j2 -LE e2e; }

part_e2e() { run_ctest --test-dir build-tests --output-on-failure -L e2e -LE package; }

part_package() { run_ctest --test-dir build-tests --output-on-failure -L package; }

part_asan() {
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTIRELMA_SANITIZE=ON -DTIRELMA_GUI=OFF >/dev/null
    cmake --build build-asan -j2 | no_progress
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        run_ctest --test-dir build-asan --output-on-failure -j2
}

part_robustness() { ./scripts/test-robustness.sh; }

part_windows_build() {
    ./scripts/windows-build.sh | no_progress
    ! windows_core_only || untested "core only — no Qt for Windows (README: The Windows program)"
}

part_windows() {
    ./scripts/windows-test.sh
    ! windows_core_only ||
        untested "core only — no Qt for Windows: tirelma.exe, its windows, resident cycle, zip and installer untested"
}

part_format() { git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror; }

selected=("$@")
everything=0
[ ${#selected[@]} -gt 0 ] || { selected=("${PARTS[@]}"); everything=1; }
for part in "${selected[@]}"; do
    declare -F "part_${part//-/_}" >/dev/null || { echo "test.sh: no part $part (parts: ${PARTS[*]})" >&2; exit 2; }
done

times=()
current=""
started=$SECONDS
summary() {
    local rc=$?
    [ -n "$current" ] && times+=("$(printf '%-14s %6d s  FAILED' "$current" $((SECONDS - part_start)))")
    echo "== seconds per part"
    local row part notes=()
    for row in "${times[@]}"; do
        part=${row%% *}
        if [ -n "${left_out[$part]:-}" ]; then
            printf '%s  untested: %s\n' "$row" "${left_out[$part]}"
            notes+=("$part: ${left_out[$part]}")
        else
            printf '%s\n' "$row"
        fi
    done
    printf '%-14s %6d s\n' total $((SECONDS - started))
    if [ $rc -ne 0 ]; then
        echo "FAILED: ${current:-test.sh}" >&2
    elif [ ${#notes[@]} -gt 0 ]; then
        local IFS=$'\n'
        echo "Passed, but not everything was tested:"
        printf '  %s\n' "${notes[@]}"
    elif [ $everything -eq 1 ]; then
        echo "All tests passed."
    else
        echo "Passed: ${selected[*]}"
    fi
}
trap summary EXIT

for part in "${selected[@]}"; do
    current=$part part_start=$SECONDS
    echo "== $part"
    "part_${part//-/_}"
    echo "== $part: $((SECONDS - part_start)) s"
    times+=("$(printf '%-14s %6d s' "$part" $((SECONDS - part_start)))")
    current=""
done
