#!/usr/bin/env bash
# Times the index search of two words over the four index files (bench_index) and `grep -c -i`
# of the first word over the four index XML files, in one run, and prints their ratio. Medians
# of the benchmark's repetitions (wall time, as grep's); grep's best of 30, process start
# included. Usage: bench/index_vs_grep.sh [BUILD_DIR] [XML_DIR] (defaults build/host and the
# folder of the build's tabular XML).
set -euo pipefail
build=${1:-build/host}
bench="$build/bench/bench_index"
[ -x "$bench" ] || { echo "build $build first (bench_index)" >&2; exit 2; }
xml_dir=${2:-$(dirname "$(sed -n 's/^MORBIVUE_TABULAR_XML:FILEPATH=//p' "$build/CMakeCache.txt")")}
files=("$xml_dir"/icd10cm_index_2023.xml "$xml_dir"/icd10cm_neoplasm_2023.xml
       "$xml_dir"/icd10cm_drug_2023.xml "$xml_dir"/icd10cm_eindex_2023.xml)

grep_ms() {
    local best=""
    for _ in $(seq 30); do
        local s e
        s=$(date +%s%N)
        grep -c -i -- "$1" "${files[@]}" >/dev/null || true
        e=$(date +%s%N)
        local t=$(( e - s ))
        if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
    done
    awk -v ns="$best" 'BEGIN { printf "%.3f", ns / 1e6 }'
}

csv=$("$bench" --benchmark_filter='BM_IndexSearch' --benchmark_repetitions=9 \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null | grep '_median')
printf '%-20s %10s %10s %10s %8s\n' phrase search_ms cpu_ms grep_ms ratio
for phrase in "lung upper" "accident transport" "diabetes kidney" "syndrome heart"; do
    read -r ms cpu < <(printf '%s\n' "$csv" | awk -F, -v w="\"$phrase\"" '
        index($0, w) {
            scale = ($5 == "ns") ? 1e6 : ($5 == "us") ? 1e3 : ($5 == "s") ? 1e-3 : 1
            print $3 / scale, $4 / scale
        }')
    g=$(grep_ms "${phrase%% *}")
    awk -v w="$phrase" -v s="$ms" -v c="$cpu" -v g="$g" \
        'BEGIN { printf "%-20s %10.3f %10.3f %10.3f %8.2f\n", w, s, c, g, s / g }'
done
