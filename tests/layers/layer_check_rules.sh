#!/usr/bin/env bash
# The layer check against planted trees of one include each: what it must refuse, with
# its exact report, and what it must let pass.
set -uo pipefail
check=$1
work=$2

# file | included file | expected report ("" when the include is allowed)
cases=(
  "hba/rnid.h|fabric/name_server.h|hba/rnid.h:1 includes fabric/name_server.h: layer hba may not use layer fabric"
  "document/attribute_document.cpp|inventory/host_identity.h|document/attribute_document.cpp:1 includes inventory/host_identity.h: layer document may not use layer inventory"
  "hba/hba_library.cpp|hba/discovered.h|hba/hba_library.cpp:1 includes hba/discovered.h: layer hba-api may not use layer hba"
  "wire/scsi.h|common/scan_trace.h|wire/scsi.h:1 includes common/scan_trace.h: layer wire may not use layer common"
  "gxlog/src/GXgXmlFormatter.cpp|base/text.h|"
  "gxlog/src/GXgLogger.cpp|sim/world.h|gxlog/src/GXgLogger.cpp:1 includes sim/world.h: layer gxlog may not use layer sim"
  "sim/hba/hba_calls.cpp|hba/hbaapi_types.h|"
  "inventory/fs_summary.cpp|document/records.h|"
  "fabric/name_server_walk.cpp|hba/rnid.h|"
  "driver/main.cpp|inventory/fs_summary.h|"
  "tests/hba/probe_test.cpp|driver/scan_pass.h|"
)

failures=0
for c in "${cases[@]}"; do
  IFS='|' read -r file included expected <<<"$c"
  rm -rf "$work" && mkdir -p "$work/$(dirname "$file")"
  echo "#include \"$included\"" >"$work/$file"
  # The check refuses a tree without product files; give every case one that is allowed.
  mkdir -p "$work/base" && echo '#include <cstdint>' >"$work/base/anchor.h"
  report=$("$check" "$work" 2>&1)
  status=$?
  if [ -n "$expected" ]; then
    if [ "$status" -ne 1 ] || [ "$report" != "$expected" ]; then
      echo "FAIL: $file including $included: status $status, report: $report"
      failures=$((failures + 1))
    fi
  elif [ "$status" -ne 0 ]; then
    echo "FAIL: $file including $included was refused: $report"
    failures=$((failures + 1))
  fi
done
echo "${#cases[@]} cases, $failures failed"
[ "$failures" -eq 0 ]
