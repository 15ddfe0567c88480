#!/usr/bin/env bash
# Times SearchRecords and the four-word SearchAllWords (bench_search) and `grep -c -i` of one
# word on the same record file in one run, and prints their ratio. Medians of the benchmark's
# repetitions; grep's best of 30. Usage: bench/search_vs_grep.sh [BUILD_DIR] (default build/host).
set -euo pipefail
build=${1:-build/host}
records="$build/data/engtextrecords.dat"
bench="$build/bench/bench_search"
[ -f "$records" ] && [ -x "$bench" ] || { echo "build $build first (bench_search, data)" >&2; exit 2; }

# Best of 30 runs of grep, in milliseconds, process start included.
grep_ms() {
    local best=""
    for _ in $(seq 30); do
        local s e
        s=$(date +%s%N)
        grep -c -i -- "$1" "$records" >/dev/null || true
        e=$(date +%s%N)
        local t=$(( e - s ))
        if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
    done
    awk -v ns="$best" 'BEGIN { printf "%.3f", ns / 1e6 }'
}

csv=$("$bench" --benchmark_filter='BM_Search(Records|AllWords)' --benchmark_repetitions=9 \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null | grep '_median')
printf '%-10s %12s %10s %8s\n' word search_ms grep_ms ratio
for word in cholera diabetes qqxyzzy; do
    ms=$(printf '%s\n' "$csv" | awk -F, -v w="\"$word\"" '
        $0 ~ /BM_SearchRecords/ && index($0, w) {
            scale = ($5 == "ns") ? 1e6 : ($5 == "us") ? 1e3 : ($5 == "s") ? 1e-3 : 1
            print $3 / scale
        }')
    g=$(grep_ms "$word")
    awk -v w="$word" -v s="$ms" -v g="$g" 'BEGIN { printf "%-10s %12.3f %10.3f %8.2f\n", w, s, g, s / g }'
done

# All words: each four-word phrase against grep for its first word.
printf '\n%-32s %10s %10s %8s\n' phrase words_ms grep_ms ratio
for phrase in "diabetes chronic kidney disease" "pressure ulcer heel stage" \
              "fracture head right radius" "cholera heel zebra qqxyzzy"; do
    ms=$(printf '%s\n' "$csv" | awk -F, -v w="\"$phrase\"" '
        $0 ~ /BM_SearchAllWords/ && index($0, w) {
            scale = ($5 == "ns") ? 1e6 : ($5 == "us") ? 1e3 : ($5 == "s") ? 1e-3 : 1
            print $3 / scale
        }')
    g=$(grep_ms "${phrase%% *}")
    awk -v w="$phrase" -v s="$ms" -v g="$g" 'BEGIN { printf "%-32s %10.3f %10.3f %8.2f\n", w, s, g, s / g }'
done
