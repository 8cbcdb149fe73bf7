#!/usr/bin/env bash
# Builds the fuzz harnesses of tests/fuzz (clang, AddressSanitizer, UndefinedBehaviorSanitizer,
# libFuzzer) into ./build-fuzz and runs each for SECONDS seconds, FUZZ_JOBS at a time (default 4).
#   fuzz.sh SECONDS [NAME...]      NAME: engine_receive, config_file, ... (default: all)
# Each harness starts from its seeds (tests/fuzz/corpus/NAME) and keeps what it learns in
# build-fuzz/corpus/NAME. An input that makes it fail lands in build-fuzz/findings/NAME/; once
# fixed, copy it into tests/fuzz/found/NAME/ so that the replay test keeps it fixed.
set -euo pipefail
seconds=${1:?usage: fuzz.sh SECONDS [NAME...]}
shift
cd "$(dirname "$0")"
root=$PWD
out=$root/build-fuzz
# clang and its libFuzzer and sanitizer run-time, on top of what every build needs.
bash scripts/setup.sh --clang

launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTEVRIN_FUZZ=ON \
  -DTEVRIN_BUILD_TESTS=OFF -DTEVRIN_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$out" -j"${BUILD_JOBS:-4}" --target fuzz_all

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for f in tests/fuzz/fuzz_*.cpp; do
    n=$(basename "$f" .cpp)
    [ "$n" = fuzz_support ] && continue
    names+=("${n#fuzz_}")
  done
fi

run_one() {
  local name=$1
  mkdir -p "$out/corpus/$name" "$out/findings/$name" "$out/logs"
  # -timeout: an input that takes 10 s is a hang; -malloc_limit_mb: no reader of a small input
  # takes 128 MB in one allocation. Every finding stops the run.
  # The platform layer is linked into each shared library as well as into the harness, so its
  # classes' type data are there more than once, which is no fault here. A smaller quarantine of
  # freed memory keeps the harnesses that free much per input fast.
  ASAN_OPTIONS=detect_odr_violation=0:quarantine_size_mb=32 LSAN_OPTIONS=suppressions=$root/tests/fuzz/lsan.supp \
  "$out/bin/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=128 -print_final_stats=1 \
    -artifact_prefix="$out/findings/$name/" "$out/corpus/$name" "$root/tests/fuzz/corpus/$name" \
    >"$out/logs/$name.log" 2>&1 || true
  local runs findings
  runs=$(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$out/logs/$name.log" | grep -o '[0-9]*$' || echo '?')
  findings=$(find "$out/findings/$name" -type f | wc -l)
  printf '%-20s executions %-12s findings %s\n' "$name" "$runs" "$findings"
}
export -f run_one
export out root seconds
printf '%s\n' "${names[@]}" | xargs -P "${FUZZ_JOBS:-4}" -I{} bash -c 'run_one {}'
