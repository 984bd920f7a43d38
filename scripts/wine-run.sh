#!/usr/bin/env bash
# Runs a Windows program under wine64 with a private prefix inside the build folder,
# so tests never touch the user's own ~/.wine. The prefix is made on first use.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
: "${WINEPREFIX:=$here/build/windows/wineprefix}"
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1 || true
  wineserver -w 2>/dev/null || true
fi
exec "$wine" "$@"
