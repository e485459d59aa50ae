#!/usr/bin/env bash
# Installs what Kestrane Professional needs to build, run and test on Debian 12.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev libvalijson-dev
  libyaml-cpp-dev   # the settings files of Bottles, Lutris and Heroic (the prefix list)
  qt6-base-dev      # the window (kestrane) and its Qt Test tests
  wine64            # the interoperability tests against real Wine
  mingw-w64         # Windows programs that leave real traces in the interoperability tests' prefixes
  xvfb              # a display for Wine's own programs in those tests
  clang-14 libclang-rt-14-dev  # the fuzzing build (fuzz/): clang with libFuzzer and the sanitizers
  desktop-file-utils appstream dpkg-dev man-db  # the install test: validators, the Debian package
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
