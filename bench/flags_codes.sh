#!/usr/bin/env bash
# Times `morbivue-cli flags` on 100,000 codes from standard input (the whole process), median of
# five runs: the newest release's billable codes in turn, cycled to 100,000.
# Usage: bench/flags_codes.sh [BUILD_DIR]   (default build/host)
set -euo pipefail
build=${1:-build/host}
cli="$build/tools/morbivue-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cli" codes | awk -F'\t' '$2 == "billable" { print $1 }' > "$work/billable"
touch "$work/codes"
while [ "$(wc -l < "$work/codes")" -lt 100000 ]; do cat "$work/billable" >> "$work/codes"; done
head -n 100000 "$work/codes" > "$work/input"
times=()
for _ in 1 2 3 4 5; do
  start=$(date +%s%N)
  "$cli" flags < "$work/input" > "$work/out" || true
  end=$(date +%s%N)
  times+=($(( (end - start) / 1000000 )))
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
echo "flags of $(wc -l < "$work/input") codes: runs ${sorted}ms, median $(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p) ms"
echo "lines out: $(wc -l < "$work/out"), CC or MCC: $(awk -F'\t' '$2 == "CC" || $2 == "MCC"' "$work/out" | wc -l)"
