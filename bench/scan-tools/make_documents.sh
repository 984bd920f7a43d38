#!/usr/bin/env bash
# Writes DIR/old.xml and DIR/new.xml: the scanner's documents for a generated SAN of about
# UNITS logical-unit elements and for the same SAN a while later (one path lost, one unit
# added, a firmware upgrade), for timing attrdiff and attrmap on large documents.
#   bench/scan-tools/make_documents.sh UNITS DIR   (from the repository, after a posix build)
set -euo pipefail
units=${1:?units}
dir=${2:?directory}
build=${BUILD:-build/posix}
mkdir -p "$dir"
for variant in 0 1; do
  name=$([ "$variant" = 0 ] && echo old || echo new)
  "$build/bench/scan-tools/big_san_world" "$units" "$variant" > "$dir/$name.json"
  SANSIM_WORLD="$dir/$name.json" LD_LIBRARY_PATH="$build/sim" \
    "$build/driver/attrscan" 10.0.0.5:9570 scanner01 GUID-TEXT > "$dir/$name.xml"
done
ls -l "$dir"/*.xml
