#!/usr/bin/env bash
# Runs every fuzz target of the fuzz build briefly on its seed corpus (fuzz/corpus/<name>),
# so that CI sees each target build, replay its corpus and explore for a few seconds. New
# inputs go to a scratch folder, never into the corpus. A target without a corpus fails.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
list=$here/build/fuzz/fuzzers.txt
seconds=${FUZZ_SMOKE_SECONDS:-5}
[ -f "$list" ] || { echo "no $list: build the fuzz preset first" >&2; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
while read -r exe; do
  [ -n "$exe" ] || continue
  name=$(basename "$exe")
  corpus=$here/fuzz/corpus/$name
  if [ ! -d "$corpus" ]; then echo "FAIL: $name has no corpus in fuzz/corpus/$name" >&2; status=1; continue; fi
  mkdir -p "$scratch/$name"
  if "$exe" -max_total_time="$seconds" -print_final_stats=1 "$scratch/$name" "$corpus" >"$scratch/$name.log" 2>&1; then
    echo "$name: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$scratch/$name.log" | grep -o '[0-9]*$') runs"
  else
    echo "FAIL: $name" >&2; tail -40 "$scratch/$name.log" >&2; status=1
  fi
done <"$list"
exit $status
