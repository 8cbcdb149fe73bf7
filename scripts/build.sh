#!/usr/bin/env bash
# Configures and builds (Release) into ./build: everything, or only the targets named.
#   scripts/build.sh [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
# A compiler cache, where the machine has one, makes rebuilds of other checkouts cheap.
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
targets=()
if [ $# -gt 0 ]; then
  targets=(--target "$@")
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
cmake --build build -j"${BUILD_JOBS:-$(nproc)}" "${targets[@]}"
