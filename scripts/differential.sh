#!/usr/bin/env bash
# Compares the scanner of this tree with the scanner of an earlier commit, world by world:
# the document, the exit status, standard error, the trace (time stamps aside) and the
# simulated library's call log must be byte-identical. A restructuring that changes no
# behaviour passes it.
#
#   scripts/differential.sh [commit] [count]
#
# commit: the earlier commit (default 9ae9004), built once into build/differential/<commit>.
# count:  generated worlds to compare besides the bundled and test worlds (default 300):
#         varied worlds of seeds 1 to count, plus one world per named twist, made by this
#         tree's world generator.
# Extra worlds can be named with DIFF_WORLDS="a.json b.json ...".
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
base=${1:-9ae9004}
count=${2:-300}
jobs=${JOBS:-2}
out=$here/build/differential
base_src=$out/$base
mkdir -p "$out"

# The earlier scanner, built from its own sources in its own folder.
if [ ! -x "$base_src/build/posix/driver/attrscan" ]; then
  rm -rf "$base_src" && mkdir -p "$base_src"
  git -C "$here" archive "$base" | tar -x -C "$base_src"
  (cd "$base_src" && cmake --preset posix >/dev/null &&
    cmake --build build/posix -j "$jobs" --target attrscan sansim_hbaapi >/dev/null)
fi
# This tree's scanner and world generator.
(cd "$here" && cmake --preset posix >/dev/null &&
  cmake --build build/posix -j "$jobs" --target attrscan sansim_hbaapi worldgen >/dev/null)

worlds=("$here"/worlds/*.json "$here"/tests/*/worlds/*.json)
gen=$here/build/posix/tools/worldgen/worldgen
if [ "$count" -gt 0 ]; then
  rm -rf "$out/generated" && mkdir -p "$out/generated"
  for twist in $("$gen" --twists); do
    "$gen" --varied --twist "$twist" --seed 1 -o "$out/generated/twist-$twist.json" 2>/dev/null
  done
  for seed in $(seq 1 "$count"); do
    "$gen" --varied --seed "$seed" -o "$out/generated/varied-$seed.json" 2>/dev/null
  done
  worlds+=("$out"/generated/*.json)
fi
for w in ${DIFF_WORLDS:-}; do worlds+=("$w"); done

# The argument sets every world is scanned with: attribute document, PE mode, a run
# marked "Running", and the file-system summary.
argsets=(
  "10.0.0.5:9570 scanner01 GUID-TEXT"
  "10.0.0.5:9570 scanner01 GUID-TEXT PE"
  "10.0.0.5:9570 scanner01 GUID-TEXT Running"
  "10.0.0.5:9570 scanner01 GUID-TEXT FS"
)

# One scan with one build into folder $3: stdout, stderr, status, trace, call log.
scan() {
  local tree=$1 world=$2 dir=$3 args=$4
  mkdir -p "$dir/conf"
  cp "$here/conf/nativelog.properties" "$dir/conf/"
  local rc=0
  (cd "$dir" && SANSIM_WORLD=$world SANSIM_CALL_LOG=$dir/calls.log VRKA_SM_HOME=$dir \
    LD_LIBRARY_PATH=$tree/build/posix/sim "$tree/build/posix/driver/attrscan" $args \
    >"$dir/stdout" 2>"$dir/stderr") || rc=$?
  echo "$rc" >"$dir/status"
  # Time stamps are the only part of a trace line that may differ between two runs; a
  # large scan's trace rolls over into numbered files.
  local log
  for log in "$dir"/attrscan-trace*.log; do
    [ -f "$log" ] || continue
    sed -E 's/[0-9]{4}[-.][0-9]{2}[-.][0-9]{2}[ T][0-9:.,]+([+-][0-9]{2}:?[0-9]{2})?//g' "$log" \
      >"${log%.log}.trace"
    rm -f "$log"
  done
}

compared=0
failed=0
work=$out/runs
for world in "${worlds[@]}"; do
  for args in "${argsets[@]}"; do
    rm -rf "$work" && mkdir -p "$work"
    scan "$base_src" "$world" "$work/old" "$args"
    scan "$here" "$world" "$work/new" "$args"
    if ! diff -r "$work/old" "$work/new" >"$out/last.diff" 2>&1; then
      echo "DIFFERS: $world ($args)"
      head -20 "$out/last.diff"
      failed=$((failed + 1))
    fi
  done
  compared=$((compared + 1))
done
echo "worlds compared: $compared (x${#argsets[@]} argument sets), differing runs: $failed"
[ "$failed" -eq 0 ]
