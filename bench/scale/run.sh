#!/bin/bash
# Scans generated worlds of 1k, 16k and 64k logical units (and 250k with --with-250k) and
# prints, for each size, the scan's wall time, time per logical unit, peak memory and memory
# per logical unit, untraced and traced at the lowest level (ALL), and the floor: hba_replay
# making exactly the scan's HBA calls (from its call log) against the same simulated library
# and writing as many bytes as the scan's document. Medians of --runs runs (default 3).
#
#   bench/scale/run.sh [--with-250k] [--runs N] [--sizes "1000 16000"]
# Uses the posix build (BUILD=build/posix); builds what it needs first.
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD=${BUILD:-build/posix}
RUNS=3
SIZES="1000 16000 64000"
while [ $# -gt 0 ]; do
  case "$1" in
    --with-250k) SIZES="$SIZES 250000" ;;
    --runs) RUNS=$2; shift ;;
    --sizes) SIZES=$2; shift ;;
    *) echo "usage: $0 [--with-250k] [--runs N] [--sizes \"N ...\"]" >&2; exit 2 ;;
  esac
  shift
done

[ -f "$BUILD/build.ninja" ] || cmake --preset posix >/dev/null
cmake --build "$BUILD" -j2 --target attrscan sansim_hbaapi worldgen hba_replay run_measured >&2

WORK=$(mktemp -d /tmp/scale-bench.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
LIB="$PWD/$BUILD/sim"
SCAN="$PWD/$BUILD/driver/attrscan"
REPLAY="$PWD/$BUILD/bench/scale/hba_replay"
MEASURE="$PWD/$BUILD/bench/scale/run_measured"
ARGS=(10.0.0.5:9570 benchscanner 5A.3C.00.11.22.33.44.55.66.77.88.99.AA.BB.CC.DD:0001)

# Two toolkit configurations: the trace logger off, and at its lowest level into a file.
properties() {  # home level
  mkdir -p "$1/conf"
  cat > "$1/conf/nativelog.properties" <<PROPS
native.trace.attributeScanner.className = gxg_basiclogger
native.trace.attributeScanner.level = $2
native.trace.attributeScanner.listenerNames = bench.file
bench.file.className = gxg_filehandler
bench.file.fileName = $1/trace.log
bench.file.maxFiles = 1
bench.file.appending = false
bench.file.formatterName = bench.format
bench.format.className = gxg_basicformatter
PROPS
}
properties "$WORK/off" OFF
properties "$WORK/all" ALL

# Median of the runs of one command: prints "<wall s> <peak KiB>".
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
measure() {
  local runs
  runs=$(for _ in $(seq "$RUNS"); do rm -f "$WORK"/all/trace.log*; "$MEASURE" "$@"; done)
  if awk '$3 != 0 {bad=1} END {exit !bad}' <<<"$runs"; then echo "failed: $*" >&2; exit 1; fi
  echo "$(cut -d' ' -f1 <<<"$runs" | median) $(cut -d' ' -f2 <<<"$runs" | median)"
}

echo "# $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(awk '/MemTotal/{printf "%.1f GiB", $2/1048576}' /proc/meminfo)," \
     "$(git rev-parse --short HEAD)$(git diff --quiet HEAD -- . || echo '+changes'), medians of $RUNS"
printf '| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n' size "world MiB" "scan wall s" "µs/LUN" \
  "peak MiB" "KiB/LUN" "traced wall s" "traced/untraced" "traced peak MiB" "floor wall s (peak MiB)" "scan/floor"
echo "|---|---|---|---|---|---|---|---|---|---|---|"
for n in $SIZES; do
  world="$WORK/w$n.json"
  "$BUILD/tools/worldgen/worldgen" --luns "$n" --seed 1 -o "$world" 2>/dev/null
  # One scan for the call log and the document's size.
  SANSIM_WORLD=$world SANSIM_CALL_LOG=$WORK/calls VRKA_SM_HOME=$WORK/off LD_LIBRARY_PATH=$LIB \
    "$SCAN" "${ARGS[@]}" > "$WORK/doc.xml"
  docBytes=$(stat -c %s "$WORK/doc.xml")
  read -r scanWall scanPeak < <(SANSIM_WORLD=$world VRKA_SM_HOME=$WORK/off LD_LIBRARY_PATH=$LIB measure "$SCAN" "${ARGS[@]}")
  read -r traceWall tracePeak < <(SANSIM_WORLD=$world VRKA_SM_HOME=$WORK/all LD_LIBRARY_PATH=$LIB measure "$SCAN" "${ARGS[@]}")
  read -r floorWall floorPeak < <(SANSIM_WORLD=$world LD_LIBRARY_PATH=$LIB measure "$REPLAY" "$WORK/calls" "$docBytes")
  awk -v n="$n" -v wb="$(stat -c %s "$world")" -v sw="$scanWall" -v sp="$scanPeak" -v tw="$traceWall" \
      -v tp="$tracePeak" -v fw="$floorWall" -v fp="$floorPeak" 'BEGIN {
    printf "| %dk | %.1f | %.3f | %.1f | %.1f | %.2f | %.3f | %.2f | %.1f | %.3f (%.1f) | %.2f |\n",
      n/1000, wb/1048576, sw, sw*1e6/n, sp/1024, sp/n, tw, tw/sw, tp/1024, fw, fp/1024, sw/fw }'
  rm -f "$world" "$WORK/calls" "$WORK/doc.xml"
done
