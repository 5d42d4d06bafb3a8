#!/usr/bin/env bash
# Measures the gallery: the full run (one process per core) and one named
# view, each from start to the last picture written, with the room the
# pictures take and the machine's load before each run. Aims: the full run
# within 5 minutes on 8 cores, one view within a few seconds.
#   scripts/bench-screens.sh [view name]   (default: notes-full)
set -euo pipefail
cd "$(dirname "$0")/.."
view=${1:-notes-full}
bash scripts/setup.sh
cmake -S . -B build/screens -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOLU_BUILD_TESTS=ON >/dev/null
cmake --build build/screens --target kolu_gallery -j "$(nproc)"
gallery=build/screens/tools/gallery/kolu_gallery
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

measure() {
  local label=$1 start end ms
  shift
  rm -rf "$out/pictures"
  echo "$label: load $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
  start=$(date +%s%N)
  QT_QPA_PLATFORM=offscreen "$gallery" "$out/pictures" "$@" | tail -n1
  end=$(date +%s%N)
  ms=$(( (end - start) / 1000000 ))
  echo "$label: $(( ms / 1000 )).$(printf %03d $(( ms % 1000 ))) s, $(du -sh "$out/pictures" | cut -f1) on disk"
}

measure "full gallery"
measure "one view ($view)" "$view"
