#!/usr/bin/env bash
# An install into a fresh prefix works without the build tree: the scanner, started in its
# home with nothing in the environment but the world, finds its configuration, codeset
# tables and catalogs and prints the build tree's document; the attrscan-sim wrapper does
# the same from any folder with the private simulated library; and the variables of the
# README's layout table move every piece.
#   install_test.sh BUILD-DIR
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
home=$tmp/prefix/lib/attrscan
world=$src/worlds/sample.json
args=(10.0.0.5:9570 scanner01 5A.3C.00.11.22.33.44.55.66.77.88.99.AA.BB.CC.DD:0001)

# The shipped configuration, with the trace written in EBCDIC: only a codeset table
# found on disk can produce it.
echo 'attrscan.traceFile.fileEncoding = IBM1047' >>"$home/conf/nativelog.properties"
# A second home whose properties file has a Windows path with single backslashes.
mkdir -p "$tmp/badhome/conf"
printf '%s\n' 'native.trace.attributeScanner.className = gxg_basiclogger' \
    'attrscan.traceFile.fileName = C:\agent\trace.log' >"$tmp/badhome/conf/nativelog.properties"

# The build tree's documents, without and with the simulated library.
mkdir "$tmp/ref"
(cd "$tmp/ref" && env -i SANSIM_WORLD="$world" "$build/driver/attrscan" "${args[@]}" >"$tmp/host.xml" 2>/dev/null)
(cd "$tmp/ref" && env -i SANSIM_WORLD="$world" LD_LIBRARY_PATH="$build/sim" \
    "$build/driver/attrscan" "${args[@]}" >"$tmp/san.xml" 2>/dev/null)
grep -q '<ControllerXml>' "$tmp/san.xml" || fail "the reference scan found no controllers"

# Standard error of the last case: the German texts of the catalog under msg/de, in the
# console codeset (code page 437: a-umlaut 84, o-umlaut 94, u-umlaut 81).
printf "GXG0052E Der Wert der Eigenschaft 'attrscan.traceFile.fileName' in der Eigenschaftendatei enth\x84lt einen R\x81ckstrich, der zu keiner g\x81ltigen Escape-Folge geh\x94rt, und kann nicht gelesen werden.\n" >"$tmp/de.err"
printf 'GXG0051E Der Protokollmanager konnte die Eigenschaftendatei %s//conf/nativelog.properties nicht lesen.\n' "$tmp/badhome" >>"$tmp/de.err"
printf "ERROR: could not initialize logger 'traceLog'\n" >>"$tmp/de.err"
: >"$tmp/none.err"

mkdir "$tmp/elsewhere"
# name | working folder | environment (besides SANSIM_WORLD) | program | document | stderr | trace
cases=(
  "installed scanner in its home|$home||$home/attrscan|host.xml|none.err|$home/attrscan-trace.log"
  "wrapper from another folder|$tmp/elsewhere||$tmp/prefix/bin/attrscan-sim|san.xml|none.err|$tmp/elsewhere/attrscan-trace.log"
  "variables from another folder|$tmp/elsewhere|LANG=de_DE VRKA_SM_HOME=$tmp/badhome NLQDIR=$home NLSPATH=$home/msg/%L/%N.cat|$home/attrscan|host.xml|de.err|"
)
for row in "${cases[@]}"; do
  IFS='|' read -r name dir vars program doc err trace <<<"$row"
  rm -f "$tmp/elsewhere/attrscan-trace.log"
  # shellcheck disable=SC2086  # the variables are words on purpose
  (cd "$dir" && env -i SANSIM_WORLD="$world" $vars "$program" "${args[@]}" >"$tmp/out.xml" 2>"$tmp/out.err") ||
      fail "$name: exit status $?"
  cmp -s "$tmp/$doc" "$tmp/out.xml" || { diff "$tmp/$doc" "$tmp/out.xml" | head -20 >&2; fail "$name: document"; }
  cmp -s "$tmp/$err" "$tmp/out.err" || { cat -A "$tmp/out.err" >&2; fail "$name: standard error"; }
  [ -z "$trace" ] && continue
  [ -s "$trace" ] || fail "$name: no trace at $trace"
  grep -q 'Entering Attribute Scanner' "$trace" && fail "$name: trace not in EBCDIC"
  # EBCDIC ends lines with NL (U+0085).
  iconv -f IBM1047 -t UTF-8 "$trace" | sed 's/\xc2\x85/\n/g' |
      grep -Eq '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}[+-][0-9]{2}:[0-9]{2} Portsurvey Main 325 Entering Attribute Scanner$' ||
      fail "$name: the EBCDIC trace has no start line"
done
echo "install test passed"
