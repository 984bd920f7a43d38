#!/usr/bin/env bash
# The Windows archives, built by CPack: attrscan-<version>-win64.zip holds exactly the
# scanner's home (home-files.txt, the program as attrscan.exe) and README.txt, and no
# hbaapi.dll; attrscan-<version>-win64-sim.zip holds the simulated hbaapi.dll and the
# sample worlds. Both unpacked into a fresh folder of the wine prefix, the program started
# there as an agent starts it scans the sample world's SAN: the document is well formed and
# its SAN part is the POSIX golden one, nothing reaches standard error, and the trace is
# where README.txt says. Started from another folder, the variables of the layout table
# (Windows paths) find the German catalog, the console's code page and the home.
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

# A second home whose properties file has a Windows path with single backslashes, and an
# unrelated working folder.
win=C:\\${agent##*/}
mkdir -p "$agent/badhome/conf" "$agent/elsewhere"
printf '%s\n' 'native.trace.attributeScanner.className = gxg_basiclogger' \
    'attrscan.traceFile.fileName = C:\agent\trace.log' >"$agent/badhome/conf/nativelog.properties"
: >"$tmp/none.err"
# The German catalog under msg\de in the OEM code page 437 (a-umlaut 84, o-umlaut 94,
# u-umlaut 81), lines ended the Windows way.
printf "GXG0052E Der Wert der Eigenschaft 'attrscan.traceFile.fileName' in der Eigenschaftendatei enth\x84lt einen R\x81ckstrich, der zu keiner g\x81ltigen Escape-Folge geh\x94rt, und kann nicht gelesen werden.\r\n" >"$tmp/de.err"
printf 'GXG0051E Der Protokollmanager konnte die Eigenschaftendatei %s\\badhome//conf/nativelog.properties nicht lesen.\r\n' "$win" >>"$tmp/de.err"
printf "ERROR: could not initialize logger 'traceLog'\r\n" >>"$tmp/de.err"

guid=5A.3C.00.11.22.33.44.55.66.77.88.99.AA.BB.CC.DD:0001
san() { sed -n '/^   <ControllerXml>$/,$p' "$1"; }
san "$src/tests/entities/golden/sample.xml" >"$tmp/golden-san.xml"
[ -s "$tmp/golden-san.xml" ] || fail "no SAN part in the golden document"
# name | working folder | variables | stderr | trace
cases=(
  "as an agent runs it|$agent|SANSIM_WORLD=worlds\\sample.json|none.err|$agent/attrscan-trace.log"
  "variables from another folder|$agent/elsewhere|SANSIM_WORLD=$win\\worlds\\sample.json LANG=de_DE VRKA_SM_HOME=$win\\badhome NLQDIR=$win NLSPATH=$win\\msg\\%L\\%N.cat|de.err|"
)
for row in "${cases[@]}"; do
  IFS='|' read -r name dir vars err trace <<<"$row"
  # shellcheck disable=SC2086  # the variables are words on purpose
  (cd "$dir" && env -u VRKA_SM_HOME -u NLSPATH -u NLQDIR -u LANG -u LC_ALL -u LC_MESSAGES $vars \
      "$src/scripts/wine-run.sh" "$win\\attrscan.exe" 10.1.1.1:9570 scanner01 "$guid" >"$tmp/doc.xml" 2>"$tmp/err.txt") ||
      fail "$name: exit status $?"
  # Wine's own notes on standard error do not count.
  grep -av '^wine: ' "$tmp/err.txt" >"$tmp/own-err.txt" || true
  cmp -s "$tmp/$err" "$tmp/own-err.txt" || { cat -A "$tmp/own-err.txt" >&2; fail "$name: standard error"; }
  tr -d '\r' <"$tmp/doc.xml" >"$tmp/doc.lf.xml"
  xmllint --noout "$tmp/doc.lf.xml" || fail "$name: the document is not well formed"
  san "$tmp/doc.lf.xml" >"$tmp/san.xml"
  diff "$tmp/golden-san.xml" "$tmp/san.xml" >&2 || fail "$name: SAN part differs from the golden document"
  [ -z "$trace" ] || grep -q 'Entering Attribute Scanner' "$trace" || fail "$name: no trace at $trace"
done
echo "Windows archives passed ($(stat -c %s "$scanner_zip") and $(stat -c %s "$sim_zip") bytes)"
