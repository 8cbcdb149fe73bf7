#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian machine (run as root).
# Safe to run again: packages already present are skipped.
#   scripts/setup.sh           the build, the program and the tests (g++)
#   scripts/setup.sh --clang   also clang with its sanitizer and libFuzzer run-time and the LLVM
#                              tools, which only fuzz.sh and scripts/sanitize.sh need
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-charts-dev
  libgl-dev libxkbcommon-dev libqt6opengl6-dev
  libtomcrypt-dev libxlsxwriter-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  unzip
)
CLANG_PACKAGES=(clang libclang-rt-dev llvm)

for arg in "$@"; do
  case $arg in
    --clang) PACKAGES+=("${CLANG_PACKAGES[@]}") ;;
    *) echo "usage: scripts/setup.sh [--clang]" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
