#!/usr/bin/env bash
# The Windows build of the scanner under wine, scanning the sample world through the
# simulated hbaapi.dll beside attrscan.exe: a running overlap never touches the library; a
# scan loads it first, probes every target, closes both adapters and releases it last.
set -euo pipefail
exe=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
run() { "$here/scripts/wine-run.sh" "$exe" "$@"; }
fail() { echo "FAIL: $*" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export SANSIM_WORLD=$here/worlds/sample.json
export SANSIM_CALL_LOG=$out/calls.log

set +e
run 10.1.1.1 scanner01 GUID-1 Running >/dev/null 2>&1
rc_running=$?
set -e
[ "$rc_running" -eq 100 ] || fail "running exit code $rc_running, expected 100"
[ ! -e "$out/calls.log" ] || fail "a running overlap called the library: $(head -1 "$out/calls.log")"

set +e
run 10.1.1.1 scanner01 GUID-1 >/dev/null 2>"$out/err.txt"
rc=$?
set -e
[ "$rc" -eq 0 ] || fail "exit code $rc, expected 0"
[ -s "$out/calls.log" ] || fail "the library was not called: $(cat "$out/err.txt")"
[ "$(head -1 "$out/calls.log")" = "HBA_LoadLibrary -> status=0" ] || fail "first call: $(head -1 "$out/calls.log")"
[ "$(tail -1 "$out/calls.log")" = "HBA_FreeLibrary -> status=0" ] || fail "last call: $(tail -1 "$out/calls.log")"
[ "$(grep -c '^HBA_SendReportLUNs ' "$out/calls.log")" -eq 4 ] || fail "REPORT LUNS to the four targets"
[ "$(grep -c '^HBA_CloseAdapter ' "$out/calls.log")" -eq 2 ] || fail "both adapters closed"
echo "wine SAN end-to-end scan passed"
