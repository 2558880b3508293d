#!/usr/bin/env bash
# The robustness checks of the test command: a short run of every fuzzer,
# the core's tests built for Windows and run under wine (when mingw-w64 and
# wine are installed), and clang-tidy over the core and the reader. The crash
# and failing-storage tests are CTest tests and run with the others.
#
# TIRELMA_FUZZ_SECONDS sets the time per fuzzer (default 20).
set -euo pipefail
cd "$(dirname "$0")/.."

echo "-- fuzzing, ${TIRELMA_FUZZ_SECONDS:-20} s per target"
./scripts/fuzz.sh "${TIRELMA_FUZZ_SECONDS:-20}" | grep -v '^\[[0-9]*/[0-9]*\]'

if command -v x86_64-w64-mingw32-g++-posix >/dev/null &&
    { command -v wine64 >/dev/null || command -v wine >/dev/null || [ -x /usr/lib/wine/wine64 ]; }; then
    echo "-- the core on Windows (mingw-w64, wine)"
    ./scripts/windows-core.sh | grep -v -E '^(\[[0-9]+/[0-9]+\]|Running main)'
else
    echo "-- the core on Windows: skipped, mingw-w64 or wine is not installed"
fi

echo "-- clang-tidy"
./scripts/tidy.sh
