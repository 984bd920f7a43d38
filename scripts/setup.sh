#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian machine, skipping what is there.
set -euo pipefail
packages=(
  build-essential cmake ninja-build clang lld libclang-rt-14-dev
  libgtest-dev googletest libbenchmark-dev nlohmann-json3-dev libssl-dev
  libhbaapi-dev libhbaapi2 libspdlog-dev libicu-dev libxml2-utils libxml2-dev locales
  libgraphviz-dev pkg-config chromium json-schema-test-suite
  g++-mingw-w64-x86-64 wine64 util-linux groff-base file dpkg-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""; [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# Thousands grouping is tested in a real locale (en_US); wine takes its ANSI code page
# from the locale, and the Windows build is tested with 1252 (en_US) and 932 (ja_JP).
for loc in en_US ja_JP; do
  if ! locale -a 2>/dev/null | grep -qi "^$loc\.utf-\?8$"; then
    sudo_cmd=""; [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    $sudo_cmd sed -i "s/^# *$loc.UTF-8 UTF-8/$loc.UTF-8 UTF-8/" /etc/locale.gen
    $sudo_cmd locale-gen >/dev/null
  fi
done
