#!/usr/bin/env bash
# Installs the Debian packages the build needs; quiet and quick when they are already there.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config python3
  nlohmann-json3-dev libspng-dev libopenexr-dev duktape-dev libcairo2-dev libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libstb-dev libtinyexr-dev zlib1g-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev wine64
)
# `setup.sh bench` adds what scripts/bench-compare.sh and profiling need, `setup.sh fuzz` clang
# and its libFuzzer runtime.
case "${1:-}" in
  bench) packages+=(libosmesa6-dev linux-perf) ;;
  fuzz) packages+=(clang-14 libclang-rt-14-dev) ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "setup: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
