#!/usr/bin/env bash
# The Windows build under wine on the sample world: the SAN part of the attribute and
# PE-mode documents (from the first controller on) equals that of the POSIX golden
# documents once the Windows line ends are removed. The part before it describes the
# host, which wine's own services answer, so it differs.
set -euo pipefail
exe=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
guid=5A.3C.00.11.22.33.44.55.66.77.88.99.AA.BB.CC.DD:0001
san() { sed -n '/^   <ControllerXml>$/,$p'; }

for mode in "" PE; do
  golden=$here/tests/entities/golden/sample${mode:+-pe}.xml
  SANSIM_WORLD="$here/worlds/sample.json" "$here/scripts/wine-run.sh" "$exe" 10.1.1.1:9570 scanner01 "$guid" $mode \
    >"$out/doc.xml" 2>"$out/err.txt"
  tr -d '\r' <"$out/doc.xml" | san >"$out/san.xml"
  san <"$golden" >"$out/expected.xml"
  [ -s "$out/expected.xml" ] || { echo "FAIL: no SAN part in $golden" >&2; exit 1; }
  diff "$out/expected.xml" "$out/san.xml" >&2 || { echo "FAIL: ${mode:-attribute} document's SAN part" >&2; exit 1; }
done
echo "wine SAN documents passed"
