#!/usr/bin/env bash
# Builds the libFuzzer targets (clang) and runs them, starting from the seed
# inputs in fuzz/corpus/ plus whatever earlier runs found (kept in
# build-fuzz/corpus/). A failing input is saved in build-fuzz/artifacts/ and
# ends the run with a non-zero exit. Every target works in memory.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
#       A short run of each target for the time given (60 s unless given),
#       under AddressSanitizer and UndefinedBehaviorSanitizer (build-fuzz):
#       the test command's run.
#   scripts/fuzz.sh --long [--runs N] [--time SECONDS] [TARGET...]
#       Each target to N runs (10 million unless given), or for at most
#       SECONDS (3600 unless given) when it is slower, in the fast build
#       (build-fuzz-fast: UndefinedBehaviorSanitizer and bounds checks, no
#       AddressSanitizer, dictionaries instead of comparison tracing); then
#       every input the corpus holds runs once more under AddressSanitizer.
#       The summary (runs, time, runs a second, edges, features, corpus,
#       findings, slow inputs, processor time and runs per processor second)
#       is printed and kept in build-fuzz/long-summary.txt.
#
# Targets: profile_fuzzer profile_utf16_fuzzer number_fuzzer loader_fuzzer
# result_fuzzer matcher_fuzzer verdict_fuzzer (all by default).
set -euo pipefail
cd "$(dirname "$0")/.."

all=(profile_fuzzer profile_utf16_fuzzer number_fuzzer loader_fuzzer result_fuzzer matcher_fuzzer verdict_fuzzer)
long=0
seconds=60
runs=10000000
targets=()
while [ $# -gt 0 ]; do
    case $1 in
    --long) long=1; seconds=3600 ;;
    --runs) runs=$2; shift ;;
    --time) seconds=$2; shift ;;
    [0-9]*) seconds=$1 ;;
    *) targets+=("$1") ;;
    esac
    shift
done
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")

build() { # folder, kind
    CC=clang CXX=clang++ cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTIRELMA_GUI=OFF -DTIRELMA_TESTS=OFF -DTIRELMA_FUZZ=ON -DTIRELMA_FUZZ_KIND="$2" >/dev/null
    cmake --build "$1" -j2 --target "${targets[@]}"
}

# Options of a target of its own: the longest input (profiles beyond a few
# lines find nothing more, and cost time on every run) and its dictionary.
target_options() {
    case $1 in
    profile_fuzzer | profile_utf16_fuzzer) echo "-max_len=1024" ;;
    esac
    [ -f "fuzz/dict/$1.dict" ] && echo "-dict=fuzz/dict/$1.dict"
    return 0
}

# One line of figures from a libFuzzer log.
summary() { # target, log, seconds, findings
    local runs rate last cov ft inputs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$2")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$2")
    last=$(grep -a -E '^#[0-9]+' "$2" | tail -n 1)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
    inputs=$(find "build-fuzz/corpus/$1" -type f | wc -l)
    printf '%-21s %10s runs in %5ss, %6s runs/s, %5s edges, %6s features, %5s inputs, %s findings\n' \
        "$1" "${runs:-?}" "$3" "${rate:-?}" "${cov:-?}" "${ft:-?}" "$inputs" "$4"
}

mkdir -p build-fuzz/artifacts
fail=0
if [ $long -eq 0 ]; then
    build build-fuzz checked
    for t in "${targets[@]}"; do
        corpus="build-fuzz/corpus/$t"
        mkdir -p "$corpus"
        log="build-fuzz/$t.log"
        status=0
        # -rss_limit_mb guards against inputs that make a target hold too
        # much; -timeout catches one that takes too long.
        # shellcheck disable=SC2046
        "build-fuzz/fuzz/$t" "$corpus" "fuzz/corpus/$t" -max_total_time="$seconds" -timeout=20 \
            -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$t-" \
            $(target_options "$t" | grep -v '^-max_len') >"$log" 2>&1 || status=$?
        summary "$t" "$log" "$seconds" "$([ $status -eq 0 ] && echo 0 || echo 1)"
        if [ "$status" -ne 0 ]; then
            echo "$t FAILED; the end of its log ($log):"
            tail -n 40 "$log"
            fail=1
        fi
    done
    exit $fail
fi

build build-fuzz-fast fast
build build-fuzz checked
report=build-fuzz/long-summary.txt
{
    echo "Long fuzzing run of $(git rev-parse --short HEAD 2>/dev/null || echo '?') on $(date -Iseconds):"
    echo "each target to $runs runs or $seconds s, fast build; then the corpus under AddressSanitizer"
} >"$report"
for t in "${targets[@]}"; do
    corpus="build-fuzz/corpus/$t"
    mkdir -p "$corpus"
    log="build-fuzz/$t.long.log"
    # Findings: crashes, failed properties, timeouts and memory limits. A
    # slow input (one run past 10 s of the wall clock, which a busy machine
    # gives too) is counted apart.
    found_now() { find build-fuzz/artifacts -name "long-$t-*" ! -name "long-$t-slow-unit-*" | wc -l; }
    slow_now() { find build-fuzz/artifacts -name "long-$t-slow-unit-*" | wc -l; }
    before=$(found_now)
    slow_before=$(slow_now)
    start=$(date +%s)
    status=0
    # The processor time too: on a shared machine the runs a second of the
    # wall clock tell more about the others than about the fuzzer.
    TIMEFORMAT='%U %S'
    # shellcheck disable=SC2046
    { time "build-fuzz-fast/fuzz/$t" "$corpus" "fuzz/corpus/$t" -runs="$runs" \
        -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="build-fuzz/artifacts/long-$t-" $(target_options "$t") >"$log" 2>&1 ||
        status=$?; } 2>"build-fuzz/$t.long.cpu"
    took=$(($(date +%s) - start))
    found=$(($(found_now) - before))
    slow=$(($(slow_now) - slow_before))
    executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    cpu=$(awk '{printf "%.1f", $1 + $2}' "build-fuzz/$t.long.cpu")
    line="$(summary "$t" "$log" "$took" "$found"), $slow slow inputs, $cpu s of processor time ($(awk -v r="${executed:-0}" -v c="$cpu" 'BEGIN {printf "%.0f", (c > 0 ? r / c : 0)}') runs per processor second)"
    # Everything the corpus holds, once, with every memory access checked.
    replay=0
    "build-fuzz/fuzz/$t" "$corpus" -runs=0 -timeout=60 -rss_limit_mb=2048 \
        -artifact_prefix="build-fuzz/artifacts/replay-$t-" >"build-fuzz/$t.replay.log" 2>&1 || replay=$?
    if [ $replay -ne 0 ]; then line="$line; FAILED under AddressSanitizer"; else line="$line; clean under AddressSanitizer"; fi
    echo "$line" | tee -a "$report"
    if [ "$status" -ne 0 ] || [ "$replay" -ne 0 ]; then
        echo "$t FAILED; the end of its logs ($log, build-fuzz/$t.replay.log):"
        tail -n 30 "$log" "build-fuzz/$t.replay.log"
        fail=1
    fi
done
echo "summary in $report"
exit $fail
