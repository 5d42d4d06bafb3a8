#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number
# of seconds (default 20), all at once. Fails on any crash or sanitizer report.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
dir=build/fuzz
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DKOLU_BUILD_TESTS=OFF -DKOLU_BUILD_FUZZERS=ON -DKOLU_WERROR=ON >/dev/null
cmake --build "$dir" --target kolu_fuzzers -j "$(nproc)"

targets=("$dir"/fuzzers/fuzz_*)
pids=()
for target in "${targets[@]}"; do
  name=$(basename "$target")
  work="$dir/run/$name"
  rm -rf "$work"; mkdir -p "$work/corpus"
  seeds="tests/fuzz/corpus/${name#fuzz_}"
  [ -d "$seeds" ] && cp "$seeds"/* "$work/corpus/" 2>/dev/null || true
  exe=$(realpath "$target")
  ( cd "$work" && "$exe" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=0 \
      corpus >"log.txt" 2>&1 ) &
  pids+=("$!")
done

passed=0; failed=0
for i in "${!pids[@]}"; do
  name=$(basename "${targets[$i]}")
  if wait "${pids[$i]}"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "fuzz target $name failed:"; tail -n 40 "$dir/run/$name/log.txt"
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" = 0 ]
