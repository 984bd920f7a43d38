#!/usr/bin/env bash
# Concurrent discovery gives the sequential scan's output. For generated worlds with random
# small device latencies, a scan with ATTRSCAN_CONCURRENCY unset and one with it set must
# exit alike, print the same document and trace the same records in the same order (time
# stamps aside); the simulated library must have answered the same calls, in any order.
#
#   concurrency_test.sh posix   ATTRSCAN WORLDGEN SIMDIR            the drop-in library
#   concurrency_test.sh wine    ATTRSCAN WORLDGEN                   the Windows build
#   concurrency_test.sh wrapper ATTRSCAN WORLDGEN VENDORLIB         Debian's SNIA wrapper
#
# WORLDS (default 100) varied worlds of seeds 1 to WORLDS are scanned, plus a few larger
# sized ones with several adapters. On POSIX every fifth concurrent scan is also recorded
# (ATTRSCAN_RECORD), and a sequential replay of the recording must give the sequential
# scan's output again.
set -euo pipefail
mode=$1
exe=$(realpath -m "$2") gen=$(realpath -m "$3") lib=${4:+$(realpath -m "$4")}
here=$(cd "$(dirname "$0")/../.." && pwd)
count=${WORLDS:-100}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

missing() {
  # In CI a missing tool or build product is a failure, elsewhere a skip.
  if [ -n "${CI:-}" ]; then echo "FAIL: $1" >&2; exit 1; fi
  echo "SKIPPED: $1"; exit 0
}
[ -x "$gen" ] || missing "the world generator $gen is not built (the posix preset builds it)"

if [ "$mode" = wrapper ]; then
  wrapper=/usr/lib/libHBAAPI.so.2
  [ -f "$wrapper" ] && [ -f /etc/hba.conf ] || missing "Debian's SNIA wrapper (libhbaapi2) is not installed"
  unshare -m true >/dev/null 2>&1 || { echo "SKIPPED: no private mount namespace (unshare -m) here"; exit 0; }
  printf 'org.sansim.vendor %s\n' "$lib" >"$out/hba.conf"
fi

home=$out/home
mkdir -p "$home/conf"
cp "$here/conf/nativelog.properties" "$home/conf/"

# One scan of world $1 with concurrency $2 ("" for unset) into folder $3, recorded into
# file $4 when given (POSIX).
scan() {
  local world=$1 width=$2 dir=$3 record=${4:-} rc=0
  mkdir -p "$dir"
  case $mode in
    posix)
      (cd "$dir" && env ${width:+ATTRSCAN_CONCURRENCY=$width} ${record:+ATTRSCAN_RECORD=$record} \
        SANSIM_WORLD="$world" SANSIM_CALL_LOG="$dir/calls" \
        VRKA_SM_HOME="$home" LD_LIBRARY_PATH="$lib" "$exe" 10.0.0.5:9570 scanner01 GUID-TEXT \
        >"$dir/document" 2>"$dir/stderr") || rc=$?
      ;;
    wine)
      (cd "$dir" && env ${width:+ATTRSCAN_CONCURRENCY=$width} SANSIM_WORLD="$world" SANSIM_CALL_LOG="$dir/calls" \
        VRKA_SM_HOME="Z:$home" "$here/scripts/wine-run.sh" "$exe" 10.0.0.5:9570 scanner01 GUID-TEXT \
        >"$dir/document" 2>"$dir/stderr") || rc=$?
      ;;
    wrapper)
      (cd "$dir" && unshare -m sh -c "mount --bind '$out/hba.conf' /etc/hba.conf && exec env -u LD_LIBRARY_PATH \
        ${width:+ATTRSCAN_CONCURRENCY=$width} SANSIM_WORLD='$world' SANSIM_CALL_LOG='$dir/calls' \
        VRKA_SM_HOME='$home' '$exe' 10.0.0.5:9570 scanner01 GUID-TEXT" >"$dir/document" 2>"$dir/stderr") || rc=$?
      ;;
  esac
  echo "$rc" >"$dir/status"
  local log
  for log in "$dir"/attrscan-trace*.log; do
    [ -f "$log" ] || continue
    sed -E 's/[0-9]{4}[-.][0-9]{2}[-.][0-9]{2}[ T][0-9:.,]+([+-][0-9]{2}:?[0-9]{2})?//g' "$log" >"${log%.log}.trace"
    rm -f "$log"
  done
  if [ "$mode" = wine ]; then
    # The Windows build reads wine's own drives, disks and registry, which other tests
    # change meanwhile (free space, volatile hardware keys): under wine the SAN part of the
    # document (from the first controller on) and the discovery's trace are compared.
    tr -d '\r' <"$dir/document" | sed -n '/^   <ControllerXml>$/,$p;$p' >"$dir/san" && rm -f "$dir/document"
    for log in "$dir"/*.trace; do
      [ -f "$log" ] && grep -v Portsurveyxml "$log" >"$log.discovery" && rm -f "$log"
    done
  fi
  [ -f "$dir/calls" ] && sort "$dir/calls" >"$dir/calls.sorted" && rm -f "$dir/calls"
  return 0
}

worlds=()
for seed in $(seq 1 "$count"); do
  # Latencies of up to a few hundred microseconds, drawn per world.
  "$gen" --varied --seed "$seed" --latency "scsi=0-$((seed % 4 * 100))" --latency ct=0-300 \
    --latency rnid=0-200 --latency attributes=0-50 -o "$out/varied-$seed.json" 2>/dev/null
  worlds+=("$out/varied-$seed.json")
done
for a in 3 8; do
  "$gen" --luns $((a * 40)) --adapters "$a" --seed "$a" --latency scsi=0-100 --latency ct=0-200 \
    -o "$out/sized-$a.json" 2>/dev/null
  worlds+=("$out/sized-$a.json")
done

failed=0
n=0
for world in "${worlds[@]}"; do
  n=$((n + 1))
  width=$((2 + n % 7))
  rm -rf "$out/run"
  scan "$world" "" "$out/run/sequential"
  record=
  [ "$mode" = posix ] && [ $((n % 5)) -eq 0 ] && record=$out/run/recording.json
  scan "$world" "$width" "$out/run/concurrent" "$record"
  [ -s "$out/run/sequential/document" ] || [ -s "$out/run/sequential/san" ] || { echo "FAIL: no document for $world" >&2; failed=$((failed + 1)); continue; }
  ls "$out/run/sequential"/*.trace* >/dev/null 2>&1 || { echo "FAIL: no trace for $world" >&2; failed=$((failed + 1)); continue; }
  if ! diff -r "$out/run/sequential" "$out/run/concurrent" >"$out/diff" 2>&1; then
    echo "FAIL: $(basename "$world") with ATTRSCAN_CONCURRENCY=$width differs from the sequential scan:" >&2
    head -20 "$out/diff" >&2
    failed=$((failed + 1))
  fi
  if [ -n "$record" ]; then
    scan "$record" "" "$out/run/replay"
    if ! diff -r "$out/run/sequential" "$out/run/replay" >"$out/diff" 2>&1; then
      echo "FAIL: the recording of $(basename "$world")'s concurrent scan replays differently:" >&2
      head -20 "$out/diff" >&2
      failed=$((failed + 1))
    fi
  fi
done
echo "$mode: ${#worlds[@]} worlds, sequential and concurrent scans compared, $failed differing"
[ "$failed" -eq 0 ]
