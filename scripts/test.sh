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
# them (also when a part fails, which ends the run). To add a part, write a
# function part_NAME (dashes in NAME become underscores) and put NAME in
# PARTS where it belongs.
set -euo pipefail
cd "$(dirname "$0")/.."

PARTS=(deps build unit e2e package asan robustness windows-build windows format)

# Ninja's progress lines say nothing once a build works.
no_progress() { sed '/^\[[0-9]*\/[0-9]*\] /d'; }

part_deps() { ./scripts/install-deps.sh test; }

part_build() {
    local deb
    mapfile -t deb < <(./scripts/package.sh --cmake-args)
    cmake -S . -B build-tests -G Ninja "${deb[@]}" >/dev/null
    cmake --build build-tests -j2 | no_progress
}

part_unit() { ctest --test-dir build-tests --output-on-failure -j2 -LE e2e; }

part_e2e() { ctest --test-dir build-tests --output-on-failure -L e2e -LE package; }

part_package() { ctest --test-dir build-tests --output-on-failure -L package; }

part_asan() {
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTIRELMA_SANITIZE=ON -DTIRELMA_GUI=OFF >/dev/null
    cmake --build build-asan -j2 | no_progress
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir build-asan --output-on-failure -j2
}

part_robustness() { ./scripts/test-robustness.sh; }

part_windows_build() { ./scripts/windows-build.sh | no_progress; }

part_windows() { ./scripts/windows-test.sh; }

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
    printf '%s\n' "${times[@]}"
    printf '%-14s %6d s\n' total $((SECONDS - started))
    if [ $rc -ne 0 ]; then
        echo "FAILED: ${current:-test.sh}" >&2
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
