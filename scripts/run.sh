#!/usr/bin/env bash
# Builds Kolu and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOLU_BUILD_TESTS=OFF >/dev/null
cmake --build build/release
exec build/release/src/kolu "$@"
