#!/usr/bin/env bash
# Times `morbivue-cli check` on 100,000 codes from standard input (the whole process), median of
# five runs: every complete and billable code of the release in turn, in every typed form.
# Usage: bench/check_codes.sh [BUILD_DIR]   (default build/host)
set -euo pipefail
build=${1:-build/host}
cli="$build/tools/morbivue-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The codes: the release's own, then complete codes of S52.121 and T36.0X1, cycled to 100,000,
# a third without their dots and a third in lower case.
{ "$cli" page S52.121 | sed -n 's/^\(S52\.121[A-Z]\) .*/\1/p'
  "$cli" page T36.0X1 | sed -n 's/^\(T36\.0X1[A-Z]\) .*/\1/p'
  grep -a -o '[A-Z][0-9][0-9A-Z]\.\?[0-9A-Z]*;' "$build/data/engtextrecords.dat" | tr -d ';'
} > "$work/base"
awk 'NR%3==1{gsub("\\.","")} NR%3==2{$0=tolower($0)} {print}' "$work/base" > "$work/forms"
touch "$work/codes"
while [ "$(wc -l < "$work/codes")" -lt 100000 ]; do cat "$work/forms" >> "$work/codes"; done
head -n 100000 "$work/codes" > "$work/input"
times=()
for _ in 1 2 3 4 5; do
  start=$(date +%s%N)
  "$cli" check < "$work/input" > "$work/out" || true
  end=$(date +%s%N)
  times+=($(( (end - start) / 1000000 )))
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
echo "check of $(wc -l < "$work/input") codes: runs ${sorted}ms, median $(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p) ms"
echo "lines out: $(wc -l < "$work/out"), billable: $(grep -c $'\tbillable\t' "$work/out")"
# Every code of the newest release as its order file lists them (`codes`), checked as they are
# and against the release of a date of service, median of five runs each.
"$cli" codes | cut -f1 > "$work/release"
for args in "" "--date 2026-03-15"; do
  times=()
  for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    "$cli" check $args < "$work/release" > "$work/out" || true
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000000 )))
  done
  echo "check ${args:+$args }of the newest release's $(wc -l < "$work/release") codes: median $(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p) ms"
done
