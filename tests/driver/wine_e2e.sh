#!/usr/bin/env bash
# The Windows build of the scanner under wine, against wine's real host services: the
# document is well formed, names this host as the name service knows it, reports the
# Windows version wine emulates, ends its lines the Windows way, and the exit codes hold.
set -euo pipefail
exe=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
run() { "$here/scripts/wine-run.sh" "$exe" "$@"; }
fail() { echo "FAIL: $*" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

set +e
run 10.1.1.1:9570 scanner01 GUID-1 >"$out/doc.xml" 2>"$out/err.txt"
rc=$?
run 10.1.1.1:9570 scanner01 GUID-1 Running >"$out/running.xml" 2>/dev/null
rc_running=$?
set -e

[ "$rc" -eq 0 ] || fail "exit code $rc, expected 0"
[ "$rc_running" -eq 100 ] || fail "running exit code $rc_running, expected 100"
# Wine itself may note on standard error that a volume's label and serial cannot be read
# (the drive survey asks for them); only the scanner's own messages count.
grep -v '^wine: ' "$out/err.txt" >"$out/own-err.txt" || true
[ ! -s "$out/own-err.txt" ] || fail "unexpected standard error: $(cat "$out/own-err.txt")"
grep -q $'\r$' "$out/doc.xml" || fail "lines do not end in carriage return and line feed"
tr -d '\r' <"$out/doc.xml" >"$out/doc.lf.xml"
xmllint --noout "$out/doc.lf.xml" || fail "document is not well formed"
grep -qx '         <ValueXml>InbandAttribute:GUID-1:9570</ValueXml>' "$out/doc.lf.xml" || fail "scan id"
grep -qx '         <ValueXml>Windows XP</ValueXml>' "$out/doc.lf.xml" || fail "wine's 6.1 should be Windows XP"
grep -qx '      <UniqueIdXml>NtOSXml:GUID-1:Windows XP</UniqueIdXml>' "$out/doc.lf.xml" || fail "operating-system id"
host=$(hostname)
grep -A1 '<NameXml>Hostname</NameXml>' "$out/doc.lf.xml" | grep -qi "<ValueXml>$host" || fail "host name $host missing"
tr -d '\r' <"$out/running.xml" | grep -q '<LogicalVolumeXml>' && fail "running scan has volumes"
echo "wine end-to-end scan passed"
