#!/usr/bin/env bash
# Measures the running rail at the right edge of a 1440 x 900 X server of its
# own with openbox, driven by xdotool:
#   reveal     CPU of the whole Kolu process and of the X server per open and
#              per close (median of the cycles), and the panel's resizes per
#              cycle
#   open idle  wake-ups a second (context switches of every thread, each
#              counted while it lived) and CPU a minute with the rail held open
#              on the Today card, nothing moving, the pointer resting on the
#              card (the same hold as scripts/bench-shell.sh)
#   memory     resident memory and its proportional share (PSS) at launch,
#              once every module has been opened, and 30 s after the rail
#              collapsed
# CPU is the kernel's per-process account (scripts/proc-usage.py), which
# keeps the time of threads that have ended.
# With --frames, also saves frames of one open and one close under
# build/screens/reveal/ (ffmpeg's x11grab at 60 frames a second).
#   scripts/bench-reveal.sh [kolu executable] [--frames]
# Aims: per open and close (one reveal) <= 15 ms of Kolu's CPU and <= 8 ms
# of the X server's; memory 30 s after a collapse <= 45 MB.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
kolu=""
frames=0
for arg in "$@"; do
  case $arg in
  --frames) frames=1 ;;
  *) kolu=$arg ;;
  esac
done
if [ -z "$kolu" ]; then
  cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOLU_BUILD_BENCHMARKS=ON >/dev/null
  cmake --build build/bench -j 3 --target kolu
  kolu=$root/build/bench/src/kolu
fi
cycles=${KOLU_BENCH_CYCLES:-8}

source scripts/bench-desktop.sh
xserver=${pids[0]}

median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }

"$kolu" >"$scratch/kolu.log" 2>&1 &
kolu_pid=$!
pids+=("$kolu_pid")
rail=""
for _ in $(seq 300); do
  rail=$(xdotool search --onlyvisible --name '^Kolu Rail$' 2>/dev/null | head -n1) && [ -n "$rail" ] && break
  sleep 0.1
done
[ -n "$rail" ] || { echo "bench-reveal: the rail did not appear" >&2; cat "$scratch/kolu.log" >&2; exit 1; }
geometry() { xwininfo -id "$rail" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Width/{w=$NF} /Height/{h=$NF} END{print x, y, w, h}'; }

xdotool mousemove 700 450
sleep 4
launch_rss=$(memory_text "$kolu_pid")

# Resizes of the panel, counted from its ConfigureNotify events.
xev -id "$rail" -event structure >"$scratch/xev.log" 2>/dev/null &
xev_pid=$!
pids+=("$xev_pid")
sleep 0.5

open_ms=()
close_ms=()
open_x=()
close_x=()
cycle_ms=()
cycle_x=()
settle=1.6
for i in $(seq "$cycles"); do
  k=$(cpu_ns "$kolu_pid"); x=$(cpu_ns "$xserver")
  xdotool mousemove 1439 450
  sleep "$settle"
  k2=$(cpu_ns "$kolu_pid"); x2=$(cpu_ns "$xserver")
  xdotool mousemove 700 450
  sleep "$settle"
  k3=$(cpu_ns "$kolu_pid"); x3=$(cpu_ns "$xserver")
  open_ms+=($(( (k2 - k) / 1000000 ))); open_x+=($(( (x2 - x) / 1000000 )))
  close_ms+=($(( (k3 - k2) / 1000000 ))); close_x+=($(( (x3 - x2) / 1000000 )))
  cycle_ms+=($(( (k3 - k) / 1000000 ))); cycle_x+=($(( (x3 - x) / 1000000 )))
done
kill "$xev_pid" 2>/dev/null || true
sizes=$(grep -A1 ConfigureNotify "$scratch/xev.log" | grep -o 'width [0-9]*, height [0-9]*' | uniq | wc -l)

# Held open on the Today card, nothing moving, the pointer resting on the card.
hold_open_on_today "$rail"
read -r open_cpu open_switches < <(watch_usage "$kolu_pid" 20)
wakeups=$(awk -v a="$open_switches" 'BEGIN { printf "%.1f", a / 20 }')
open_idle=$(( open_cpu * 3 / 1000000 ))

if [ "$frames" = 1 ]; then
  out=$root/build/screens/reveal
  mkdir -p "$out"
  rm -f "$out"/*.png
  xdotool mousemove 700 450
  sleep 2
  capture() { ffmpeg -loglevel error -y -f x11grab -framerate 60 -video_size 480x700 -i "$DISPLAY+960,100" -t 1.2 "$out/$1-%02d.png"; }
  capture open &
  sleep 0.15
  xdotool mousemove 1439 450
  wait $!
  sleep 1
  capture close &
  sleep 0.15
  xdotool mousemove 700 450
  wait $!
  echo "frames: $out"
fi

# Every module opened once, then collapsed for 30 s.
modules=10
for i in $(seq 0 $((modules - 1))); do
  xdotool mousemove 1439 450
  for _ in $(seq 50); do read -r x y w h < <(geometry); [ "$(rail_drawn_width "$rail")" -gt 300 ] && break; sleep 0.2; done
  sleep 0.6
  xdotool mousemove $((x + w - 53)) $((y + (h - 620) / 2 + 33 + 50 * i)) click 1
  sleep 1.5
done
used_rss=$(memory_text "$kolu_pid")
xdotool mousemove 700 450
sleep 30
after_rss=$(memory_text "$kolu_pid")

printf '%-40s %s\n' "CPU per open, kolu (median)" "$(median "${open_ms[@]}") ms   (${open_ms[*]})"
printf '%-40s %s\n' "CPU per close, kolu (median)" "$(median "${close_ms[@]}") ms   (${close_ms[*]})"
printf '%-40s %s\n' "CPU per open, X server (median)" "$(median "${open_x[@]}") ms   (${open_x[*]})"
printf '%-40s %s\n' "CPU per close, X server (median)" "$(median "${close_x[@]}") ms   (${close_x[*]})"
printf '%-40s %s\n' "CPU per open+close, kolu (median)" "$(median "${cycle_ms[@]}") ms   (aim <= 15)"
printf '%-40s %s\n' "CPU per open+close, X server (median)" "$(median "${cycle_x[@]}") ms   (aim <= 8)"
printf '%-40s %s\n' "panel sizes per open and close" "$(awk -v a="$sizes" -v c="$cycles" 'BEGIN { printf "%.1f", a / c }')"
printf '%-40s %s\n' "held open: wake-ups a second" "$wakeups"
printf '%-40s %s\n' "held open: CPU a minute" "$open_idle ms"
printf '%-40s %s\n' "resident at launch" "$launch_rss"
printf '%-40s %s\n' "resident, every module opened" "$used_rss"
printf '%-40s %s\n' "resident 30 s after the collapse" "$after_rss"
