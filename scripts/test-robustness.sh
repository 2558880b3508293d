#!/usr/bin/env bash
# The robustness checks of the test command: a short run of every fuzzer
# and clang-tidy over the core and the reader. The crash and failing-storage
# tests are CTest tests and run with the others; the Windows build has a
# step of its own (scripts/windows-build.sh, scripts/windows-test.sh).
#
# TIRELMA_FUZZ_SECONDS sets the time per fuzzer (default 20).
set -euo pipefail
cd "$(dirname "$0")/.."

echo "-- fuzzing, ${TIRELMA_FUZZ_SECONDS:-20} s per target"
./scripts/fuzz.sh "${TIRELMA_FUZZ_SECONDS:-20}" | grep -v '^\[[0-9]*/[0-9]*\]'

echo "-- clang-tidy"
./scripts/tidy.sh
