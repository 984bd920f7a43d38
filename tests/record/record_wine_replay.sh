#!/usr/bin/env bash
# A scan recorded by the Windows build under wine (wine's real drives, volumes, geometry
# and hardware registry; the SAN from the simulated hbaapi.dll), replayed by the POSIX
# build: the two documents are the same apart from line ends.
set -euo pipefail
exe=$1
posix=$2
here=$(cd "$(dirname "$0")/../.." && pwd)
run() { "$here/scripts/wine-run.sh" "$exe" "$@"; }
fail() { echo "FAIL: $*" >&2; exit 1; }
if [ ! -x "$posix/driver/attrscan" ] || [ ! -e "$posix/sim/libHBAAPI.so.2" ]; then
  [ -z "${CI:-}" ] || fail "the POSIX build is missing in $posix"
  echo "skipped: build the posix preset first"
  exit 77
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
args=(10.1.1.1:9570 scanner01 GUID-1)

set +e
SANSIM_WORLD=$here/worlds/sample.json ATTRSCAN_RECORD="Z:$out/recorded.json" \
  run "${args[@]}" >"$out/windows.xml" 2>"$out/err.txt"
rc=$?
set -e
[ "$rc" -eq 0 ] || fail "exit code $rc under wine"
grep -q 'cannot record' "$out/err.txt" && fail "$(grep 'cannot record' "$out/err.txt")"
[ -s "$out/recorded.json" ] || fail "no recording written"
grep -q '"registry"' "$out/recorded.json" || fail "the recording holds no registry"
grep -q '"physicalDrives"' "$out/recorded.json" || fail "the recording holds no physical drives"

SANSIM_WORLD=$out/recorded.json LD_LIBRARY_PATH=$posix/sim "$posix/driver/attrscan" "${args[@]}" \
  >"$out/posix.xml" 2>"$out/posix-err.txt" || fail "the POSIX replay failed: $(cat "$out/posix-err.txt")"
grep -q '^world file' "$out/posix-err.txt" && fail "$(cat "$out/posix-err.txt")"
tr -d '\r' <"$out/windows.xml" >"$out/windows.lf.xml"
diff -u "$out/windows.lf.xml" "$out/posix.xml" >&2 || fail "the replayed document differs"
echo "wine recording replayed by the POSIX build"
