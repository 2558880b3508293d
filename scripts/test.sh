#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit, widget and
# end-to-end tests, the unit tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the format check.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh test

echo "== build and tests"
cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-tests -j2
ctest --test-dir build-tests --output-on-failure -j2 -LE e2e
echo "== end-to-end tests on a real X server and the Debian package, one at a time"
ctest --test-dir build-tests --output-on-failure -L e2e

echo "== unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTIRELMA_SANITIZE=ON -DTIRELMA_GUI=OFF >/dev/null
cmake --build build-asan -j2
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j2

if [ -x scripts/test-robustness.sh ]; then
    echo "== robustness: fuzzing, crash safety, failing storage, Windows core"
    ./scripts/test-robustness.sh
fi

echo "== format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "All tests passed."
