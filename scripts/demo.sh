#!/usr/bin/env bash
# Scans the bundled sample world with the POSIX build and prints the document. The
# scanner's trace goes where conf/nativelog.properties says (a rolling file in the
# directory the scanner runs in, here the build folder); its path is printed on
# standard error after the document.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$here/build/posix
export SANSIM_WORLD=${SANSIM_WORLD:-$here/worlds/sample.json}
export LD_LIBRARY_PATH=$build/sim${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
export VRKA_SM_HOME=${VRKA_SM_HOME:-$here}
cd "$build"
rc=0
"$build/driver/attrscan" "$@" || rc=$?
echo "trace written to $build/attrscan-trace.log (configured in $VRKA_SM_HOME/conf/nativelog.properties)" >&2
exit $rc
