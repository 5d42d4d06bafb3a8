#!/usr/bin/env bash
# Builds the benchmarks in an optimised build and runs each one.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOLU_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build/bench -j "$(nproc)"
for bench in build/bench/benchmarks/kolu_bench_*; do
  echo "== $(basename "$bench")"
  xvfb-run -a dbus-run-session -- "$bench" "$@"
done
