#!/bin/bash
# Concurrent discovery against the sequential scan on a SAN whose devices take real time:
# a generated world of 16k logical units behind 8 adapters, 200 µs per SCSI request and
# 2 ms per CT request (served by sleeping in the simulated library). Checks first that
# both scans print the same document, then times the scan with ATTRSCAN_CONCURRENCY=WIDTH
# and the sequential one in turn, RUNS pairs, and prints the medians and the median of
# the pairs' ratios (concurrent / sequential).
#
#   bench/scale/concurrency.sh [--runs N] [--width N] [--luns N] [--adapters N] [--keep DIR]
# --keep DIR leaves the world and a script per scan (DIR/sequential.sh, DIR/concurrent.sh)
# there, to time them with another tool. Uses the posix build (BUILD=build/posix); builds
# what it needs first.
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD=${BUILD:-build/posix}
RUNS=3 WIDTH=8 LUNS=16000 ADAPTERS=8 KEEP=
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) RUNS=$2; shift ;;
    --width) WIDTH=$2; shift ;;
    --luns) LUNS=$2; shift ;;
    --adapters) ADAPTERS=$2; shift ;;
    --keep) KEEP=$2; shift ;;
    *) echo "usage: $0 [--runs N] [--width N] [--luns N] [--adapters N] [--keep DIR]" >&2; exit 2 ;;
  esac
  shift
done

[ -f "$BUILD/build.ninja" ] || cmake --preset posix >/dev/null
cmake --build "$BUILD" -j2 --target attrscan sansim_hbaapi worldgen >&2

if [ -n "$KEEP" ]; then
  WORK=$(mkdir -p "$KEEP" && cd "$KEEP" && pwd)
else
  WORK=$(mktemp -d /tmp/concurrency-bench.XXXXXX)
  trap 'rm -rf "$WORK"' EXIT
fi
world=$WORK/world.json
"$BUILD/tools/worldgen/worldgen" --luns "$LUNS" --adapters "$ADAPTERS" --seed 1 \
  --latency scsi=200 --latency ct=2000 -o "$world"
mkdir -p "$WORK/home"  # no properties: the scan runs untraced
for kind in sequential concurrent; do
  width=1
  [ "$kind" = concurrent ] && width=$WIDTH
  cat > "$WORK/$kind.sh" <<SCAN
#!/bin/sh
# The \$kind scan; its document goes to \${1:-/dev/null}.
exec env ATTRSCAN_CONCURRENCY=$width SANSIM_WORLD=$world VRKA_SM_HOME=$WORK/home LD_LIBRARY_PATH=$PWD/$BUILD/sim \\
  $PWD/$BUILD/driver/attrscan 10.0.0.5:9570 benchscanner GUID >"\${1:-/dev/null}"
SCAN
  chmod +x "$WORK/$kind.sh"
done
"$WORK/sequential.sh" "$WORK/sequential.xml"
"$WORK/concurrent.sh" "$WORK/concurrent.xml"
cmp "$WORK/sequential.xml" "$WORK/concurrent.xml"
echo "# $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(git rev-parse --short HEAD)$(git diff --quiet HEAD -- . || echo '+changes')," \
     "$LUNS LUNs, $ADAPTERS adapters, ATTRSCAN_CONCURRENCY=$WIDTH; identical documents of $(stat -c %s "$WORK/sequential.xml") bytes"
seconds() { local t0 t1; t0=$(date +%s.%N); "$@"; t1=$(date +%s.%N); awk -v a="$t0" -v b="$t1" 'BEGIN {print b - a}'; }
median() { sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
pairs=$(for _ in $(seq "$RUNS"); do
  s=$(seconds "$WORK/sequential.sh"); c=$(seconds "$WORK/concurrent.sh")
  echo "$s $c $(awk -v s="$s" -v c="$c" 'BEGIN {print c / s}')"
done)
printf 'sequential %.3f s, concurrent %.3f s, concurrent/sequential %.4f (medians of %d pairs)\n' \
  "$(cut -d' ' -f1 <<<"$pairs" | median)" "$(cut -d' ' -f2 <<<"$pairs" | median)" \
  "$(cut -d' ' -f3 <<<"$pairs" | median)" "$RUNS"
