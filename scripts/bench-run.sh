#!/usr/bin/env bash
# Measures a warm start through scripts/run.sh beside the program started
# directly, each from exec to the rail window mapped (median of 7 runs, the
# two taking turns), on an X server of its own with openbox. Aim: run.sh
# within 1.5x the program's own start.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${KOLU_BENCH_RUNS:-7}

source scripts/bench-desktop.sh

# Starts a command and prints "<pid> <milliseconds until the rail is mapped>".
launch() {
  local start pid
  start=$(now_ms)
  "$@" >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name '^Kolu Rail$' >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "$* exited" >&2; exit 1; }
    [ $(( $(now_ms) - start )) -lt 120000 ] || { echo "$* mapped nothing" >&2; exit 1; }
  done
  echo "$pid $(( $(now_ms) - start ))"
}

stop() {
  kill "$1"
  while kill -0 "$1" 2>/dev/null; do sleep 0.05; done
  while xdotool search --onlyvisible --name '^Kolu Rail$' >/dev/null 2>&1; do sleep 0.05; done
}

# The first start builds what is missing; it is not measured.
read -r pid _ < <(launch "$root/scripts/run.sh")
stop "$pid"

script_times=()
program_times=()
for _ in $(seq "$runs"); do
  read -r pid ms < <(launch "$root/scripts/run.sh"); script_times+=("$ms"); stop "$pid"
  read -r pid ms < <(launch "$root/build/release/src/kolu"); program_times+=("$ms"); stop "$pid"
done
median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }
script=$(median "${script_times[@]}")
program=$(median "${program_times[@]}")
printf '%-34s %8s\n' "" "median"
printf '%-34s %5s ms   (%s)\n' "scripts/run.sh, warm" "$script" "${script_times[*]}"
printf '%-34s %5s ms   (%s)\n' "build/release/src/kolu" "$program" "${program_times[*]}"
awk -v a="$script" -v b="$program" 'BEGIN { printf "%-34s %8.2f (aim < 1.50)\n", "ratio", a / b }'
