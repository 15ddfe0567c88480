#!/usr/bin/env bash
# Times `morbivue-cli encounter` on a day's claims from standard input (the whole process),
# median of five runs: 10,000 encounters of 8 codes each, drawn from the release's own codes with
# a fixed seed, CR LF line ends; as they are, and with --age 70 --inpatient.
# Usage: bench/encounter_day.sh [BUILD_DIR]   (default build/host)
set -euo pipefail
build=${1:-build/host}
cli="$build/tools/morbivue-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
grep -a -o '[A-Z][0-9][0-9A-Z]\.[0-9A-Z]*;' "$build/data/engtextrecords.dat" | tr -d ';' > "$work/codes"
awk -v seed=7 'BEGIN { srand(seed) } { code[NR] = $0 }
  END { for (i = 0; i < 10000; i++) { line = ""
          for (k = 0; k < 8; k++) line = line (k ? " " : "") code[int(rand() * NR) + 1]
          printf "%s\r\n", line } }' "$work/codes" > "$work/input"
for args in "" "--age 70 --inpatient"; do
  times=()
  for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    "$cli" encounter $args < "$work/input" > "$work/out" || true
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000000 )))
  done
  sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
  echo "encounter ${args:+$args }of $(wc -l < "$work/input") lines of 8 codes: runs ${sorted}ms, median $(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p) ms"
  echo "lines out: $(wc -l < "$work/out"), findings: $(grep -c '^!' "$work/out")"
done
