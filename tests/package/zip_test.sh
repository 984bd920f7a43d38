#!/usr/bin/env bash
# The Windows archives, built by CPack: attrscan-<version>-win64.zip holds exactly the
# scanner's home (home-files.txt, the program as attrscan.exe) and README.txt, and no
# hbaapi.dll; attrscan-<version>-win64-sim.zip holds the simulated hbaapi.dll and the
# sample worlds. Both unpacked into a fresh folder of the wine prefix, the program started
# there as an agent starts it scans the sample world's SAN: the document is well formed and
# its SAN part is the POSIX golden one, nothing reaches standard error, and the trace is
# where README.txt says.
#   zip_test.sh BUILD-DIR VERSION
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
tmp=$(mktemp -d)
export WINEPREFIX=$build/wineprefix
"$src/scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 || true  # makes the prefix on first use
agent=$(mktemp -d "$WINEPREFIX/drive_c/agent.XXXXXX")
trap 'rm -rf "$tmp" "$agent"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$tmp" && cpack --config "$build/CPackConfig.cmake" -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1) ||
    { cat "$tmp/cpack.log" >&2; fail "cpack"; }
scanner_zip=$tmp/pkg/attrscan-$version-win64.zip
sim_zip=$tmp/pkg/attrscan-$version-win64-sim.zip
[ -f "$scanner_zip" ] || fail "no ${scanner_zip##*/}: $(ls "$tmp/pkg")"
[ -f "$sim_zip" ] || fail "no ${sim_zip##*/}: $(ls "$tmp/pkg")"
zips=("$tmp"/pkg/*.zip)
[ ${#zips[@]} -eq 2 ] || fail "two archives expected: $(ls "$tmp/pkg")"

listing() { (cd "$tmp" && cmake -E tar tf "$1") | grep -v '/$' | LC_ALL=C sort; }
{ sed 's|^attrscan$|attrscan.exe|' "$here/home-files.txt"; echo README.txt; } | LC_ALL=C sort >"$tmp/expected"
listing "$scanner_zip" >"$tmp/packed"
diff "$tmp/expected" "$tmp/packed" >&2 || fail "${scanner_zip##*/} contents (< expected, > packed)"
{ echo hbaapi.dll; for w in "$src"/worlds/*.json; do echo "worlds/${w##*/}"; done; } | LC_ALL=C sort >"$tmp/expected"
listing "$sim_zip" >"$tmp/packed"
diff "$tmp/expected" "$tmp/packed" >&2 || fail "${sim_zip##*/} contents (< expected, > packed)"

(cd "$agent" && cmake -E tar xf "$scanner_zip" && cmake -E tar xf "$sim_zip")
readme=$agent/README.txt
[ "$(grep -c $'\r$' "$readme")" -eq "$(wc -l <"$readme")" ] || fail "README.txt lines do not all end in CR LF"
grep -q '^writes attrscan-trace.log in the working folder' "$readme" || fail "README.txt no longer says where the trace goes"

# As the agent runs it: in its folder, with none of the program's variables set.
guid=5A.3C.00.11.22.33.44.55.66.77.88.99.AA.BB.CC.DD:0001
(cd "$agent" && env -u VRKA_SM_HOME -u NLSPATH -u NLQDIR -u LANG SANSIM_WORLD='worlds\sample.json' \
    "$src/scripts/wine-run.sh" attrscan.exe 10.1.1.1:9570 scanner01 "$guid" >"$tmp/doc.xml" 2>"$tmp/err.txt") ||
    fail "exit status $?"
# Wine's own notes on standard error do not count.
grep -v '^wine: ' "$tmp/err.txt" >"$tmp/own-err.txt" || true
[ ! -s "$tmp/own-err.txt" ] || fail "standard error: $(cat "$tmp/own-err.txt")"
tr -d '\r' <"$tmp/doc.xml" >"$tmp/doc.lf.xml"
xmllint --noout "$tmp/doc.lf.xml" || fail "the document is not well formed"
san() { sed -n '/^   <ControllerXml>$/,$p' "$1"; }
san "$src/tests/entities/golden/sample.xml" >"$tmp/golden-san.xml"
san "$tmp/doc.lf.xml" >"$tmp/san.xml"
[ -s "$tmp/golden-san.xml" ] || fail "no SAN part in the golden document"
diff "$tmp/golden-san.xml" "$tmp/san.xml" >&2 || fail "SAN part differs from the golden document"
grep -q 'Entering Attribute Scanner' "$agent/attrscan-trace.log" || fail "no trace in the agent's folder"
echo "Windows archives passed ($(stat -c %s "$scanner_zip") and $(stat -c %s "$sim_zip") bytes)"
