#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (clang, RelWithDebInfo)
# into ./build-asan and runs the whole suite there. Undefined behaviour stops the test that meets
# it; leaks of the libraries we never unload are suppressed (tests/fuzz/lsan.supp).
#   scripts/sanitize.sh [ctest arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
# clang and its sanitizer run-time, on top of what every build needs.
bash scripts/setup.sh --clang
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTEVRIN_SANITIZE=ON \
  -DTEVRIN_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-asan -j"${BUILD_JOBS:-$(nproc)}"
cd build-asan
# The platform layer is linked into each shared library as well as into the programs, so its
# classes' type data are there more than once, which is no fault here.
export ASAN_OPTIONS=detect_odr_violation=0:print_suppressions=0
export LSAN_OPTIONS=suppressions=$root/tests/fuzz/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
QT_QPA_PLATFORM=offscreen ctest -j"${CTEST_JOBS:-4}" --output-on-failure --timeout 600 "$@"
