#!/usr/bin/env bash
# Checks the layer order of docs/architecture.md: a product source file may include files
# of its own layer and of the layers below it, never of a layer above. Tests, benchmarks
# and fuzz targets stand outside the order. Prints each include against the order and
# exits 1 when there is one.
#
#   scripts/check-layers.sh [root]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}

# The layers from the bottom up: "pattern name", the first matching pattern naming a
# path's layer. File patterns come before their folder's.
layers=(
  "base/*               base"
  "wire/*               wire"
  "portability/*        portability"
  "i18n/*               i18n"
  "gxlog/*              gxlog"
  "common/*             common"
  "hba/hbaapi_types.h   hba-api"
  "hba/hba_library.*    hba-api"
  "sim/*                sim"
  "platform/*           platform"
  "hba/*                hba"
  "fabric/*             fabric"
  "document/*           document"
  "inventory/*          inventory"
  "record/*             record"
  "driver/*             driver"
  "tools/*              tools"
)

# Prints "rank name" of a path, or nothing for a path outside the order.
layer_of() {
  local entry pattern name e r
  for entry in "${layers[@]}"; do
    pattern=${entry%% *}
    # shellcheck disable=SC2053
    if [[ $1 == $pattern ]]; then
      name=${entry##* }
      # A layer's rank is the position of its first pattern.
      r=0
      for e in "${layers[@]}"; do
        [ "${e##* }" = "$name" ] && break
        r=$((r + 1))
      done
      echo "$r $name"
      return
    fi
  done
}

status=0
checked=0
cd "$root"
while IFS= read -r file; do
  from=$(layer_of "$file")
  [ -n "$from" ] || continue
  checked=$((checked + 1))
  while IFS=: read -r line included; do
    to=$(layer_of "$included")
    [ -n "$to" ] || continue
    if [ "${to%% *}" -gt "${from%% *}" ]; then
      echo "$file:$line includes $included: layer ${from#* } may not use layer ${to#* }"
      status=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" | sed -E 's/^([0-9]+):.*"([^"]+)".*/\1:\2/')
done < <(find . \( -path ./build -o -path ./tests -o -path ./bench -o -path ./fuzz -o -path './.*' \) -prune -o \
  -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' \) -print | sed 's|^\./||' | sort)

if [ "$checked" -eq 0 ]; then
  echo "no source files found under $root" >&2
  exit 1
fi
[ "$status" -eq 0 ] && echo "layer order holds in $checked files"
exit "$status"
