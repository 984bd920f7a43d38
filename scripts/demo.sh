#!/usr/bin/env bash
# Scans the bundled sample world with the POSIX build and prints the document.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$here/build/posix
export SANSIM_WORLD=${SANSIM_WORLD:-$here/worlds/sample.json}
export LD_LIBRARY_PATH=$build/sim${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
exec "$build/driver/attrscan" "$@"
