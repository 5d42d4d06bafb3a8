#!/usr/bin/env bash
# Measures Kolu beside a minimal Qt Widgets program that maps one 18 x 680
# frameless window and runs the same two timers, both from the same
# optimised build, on a 1440 x 900 X server of its own with openbox:
#   launch  time from exec to the rail window mapped (median of 5 runs)
#   idle    CPU time used over 60 s with the rail parked
#   memory  resident memory after that minute
# Aims: launch <= 1.5x the minimal program, idle CPU <= 1.2x, memory <= 45 MB.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOLU_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build/bench -j "$(nproc)" --target kolu kolu_minimal_rail
kolu=$PWD/build/bench/src/kolu
minimal=$PWD/build/bench/benchmarks/yardstick/kolu_minimal_rail
idle_seconds=${KOLU_BENCH_IDLE_SECONDS:-60}

source scripts/bench-desktop.sh

# Starts a program and prints "<pid> <milliseconds until its window is mapped>".
launch() {
  local program=$1 title=$2 start pid
  start=$(now_ms)
  "$program" >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "$program exited" >&2; exit 1; }
    [ $(( $(now_ms) - start )) -lt 20000 ] || { echo "$program mapped nothing" >&2; exit 1; }
  done
  echo "$pid $(( $(now_ms) - start ))"
}

stop() { kill "$1"; while kill -0 "$1" 2>/dev/null; do sleep 0.05; done; }

median_launch() {
  local program=$1 title=$2 times=() pid ms
  for _ in 1 2 3 4 5; do
    read -r pid ms < <(launch "$program" "$title")
    times+=("$ms")
    stop "$pid"
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n 3p
}

# Nanoseconds on the CPU, at the scheduler's resolution (not the 10 ms ticks).
cpu_ns() { awk '{print $1}' "/proc/$1/schedstat"; }
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }

launch_minimal=$(median_launch "$minimal" "Minimal Rail")
launch_kolu=$(median_launch "$kolu" "Kolu Rail")

# Both parked side by side for the idle minute.
read -r minimal_pid _ < <(launch "$minimal" "Minimal Rail")
read -r kolu_pid _ < <(launch "$kolu" "Kolu Rail")
pids+=("$minimal_pid" "$kolu_pid")
xdotool mousemove 700 450
sleep 3
minimal_start=$(cpu_ns "$minimal_pid")
kolu_start=$(cpu_ns "$kolu_pid")
sleep "$idle_seconds"
minimal_cpu=$(( $(cpu_ns "$minimal_pid") - minimal_start ))
kolu_cpu=$(( $(cpu_ns "$kolu_pid") - kolu_start ))
minimal_rss=$(rss_kb "$minimal_pid")
kolu_rss=$(rss_kb "$kolu_pid")

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) print "n/a"; else printf "%.2f", a / b }'; }
printf '%-28s %12s %12s %8s\n' "" "minimal" "kolu" "ratio"
printf '%-28s %10s ms %10s ms %8s\n' "launch to mapped (median)" "$launch_minimal" "$launch_kolu" \
  "$(ratio "$launch_kolu" "$launch_minimal")"
printf '%-28s %10s ms %10s ms %8s\n' "CPU over ${idle_seconds} s idle" "$(( minimal_cpu / 1000000 ))" \
  "$(( kolu_cpu / 1000000 ))" "$(ratio "$kolu_cpu" "$minimal_cpu")"
printf '%-28s %10s MB %10s MB %8s\n' "resident memory" "$(( minimal_rss / 1024 ))" "$(( kolu_rss / 1024 ))" \
  "$(ratio "$kolu_rss" "$minimal_rss")"
