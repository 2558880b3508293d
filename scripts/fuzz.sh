#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehavior-
# Sanitizer) in build-fuzz and runs each for a bounded time, starting from the
# seed inputs in fuzz/corpus/ plus whatever earlier runs found (kept in
# build-fuzz/corpus/). A failing input is saved in build-fuzz/artifacts/ and
# ends the run with a non-zero exit.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
#
# Targets: profile_fuzzer number_fuzzer loader_fuzzer matcher_fuzzer (all by default).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(profile_fuzzer number_fuzzer loader_fuzzer matcher_fuzzer)

build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTIRELMA_GUI=OFF -DTIRELMA_TESTS=OFF -DTIRELMA_FUZZ=ON >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"

mkdir -p "$build/artifacts"
fail=0
for t in "${targets[@]}"; do
    corpus="$build/corpus/$t"
    mkdir -p "$corpus"
    log="$build/$t.log"
    status=0
    # -rss_limit_mb guards against inputs that make a target hold too much;
    # -timeout catches one that takes too long.
    "$build/fuzz/$t" "$corpus" "fuzz/corpus/$t" -max_total_time="$seconds" -timeout=20 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/artifacts/$t-" \
        >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    last=$(grep -a -E '^#[0-9]+' "$log" | tail -n 1)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
    inputs=$(find "$corpus" -type f | wc -l)
    printf '%-15s %9s runs in %ss, coverage %s edges, %s features, %s inputs in the corpus\n' \
        "$t" "${runs:-?}" "$seconds" "${cov:-?}" "${ft:-?}" "$inputs"
    if [ "$status" -ne 0 ]; then
        echo "$t FAILED; the end of its log ($log):"
        tail -n 40 "$log"
        fail=1
    fi
done
exit $fail
