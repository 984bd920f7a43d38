#!/usr/bin/env bash
# The Windows build under wine with non-ASCII texts from the ANSI calls: the C: drive's
# volume label and the command line, in the ANSI code pages 1252 (en_US) and 932 (ja_JP).
# Each run must print one well-formed UTF-8 document holding the texts as the host meant
# them, nothing else on standard output, and exit with 0. Each code page gets a private
# wine prefix whose C: label is written before wine first reads it.
set -euo pipefail
exe=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
prefixes=$(cd "$(dirname "$exe")/.." && pwd)/wine-ansi
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
fail() { echo "FAIL: $*" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# code page, locale, label, scanner name, control-byte argument and the line it must give
check() {
  local cp=$1 lang=$2 label=$3 name=$4
  locale -a | grep -qix "${lang/UTF-8/utf8}" || fail "locale $lang is not generated (scripts/setup.sh makes it)"
  export LANG=$lang WINEPREFIX=$prefixes/cp$cp
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$here/scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 || true
  fi
  # wine reads a drive's label once per server: stop it, then write the label.
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w 2>/dev/null || true
  printf '%s' "$label" >"$WINEPREFIX/drive_c/.windows-label"
  set +e
  "$here/scripts/wine-run.sh" "$exe" 10.1.1.1 "$name" GUID-A >"$out/doc.xml" 2>"$out/err.txt"
  local rc=$?
  set -e
  "$wineserver" -k 2>/dev/null || true
  [ "$rc" -eq 0 ] || fail "code page $cp: exit code $rc, expected 0: $(cat "$out/err.txt")"
  tr -d '\r' <"$out/doc.xml" >"$out/doc.lf.xml"
  xmllint --noout "$out/doc.lf.xml" || fail "code page $cp: document is not well formed"
  grep -qxF "            <ValueXml>$label</ValueXml>" "$out/doc.lf.xml" || fail "code page $cp: label $label missing"
  grep -qxF "         <ValueXml>$name</ValueXml>" "$out/doc.lf.xml" || fail "code page $cp: scanner name $name missing"
  echo "code page $cp: label and scanner name arrive as UTF-8"
}

check 1252 en_US.UTF-8 "Données" "scénner"
check 932 ja_JP.UTF-8 "日本語ラベル" "スキャナ"
