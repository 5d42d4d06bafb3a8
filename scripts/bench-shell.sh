#!/usr/bin/env bash
# Measures Kolu beside a minimal Qt Widgets program that maps one 18 x 680
# frameless window and runs the same two timers, both from the same
# optimised build, on a 1440 x 900 X server of its own with openbox
# (scripts/bench-desktop.sh). CPU is always the kernel's account of the
# whole process, threads that have ended and children waited for included
# (scripts/proc-usage.py); wake-ups are context switches of every thread,
# each counted while it lived.
#   launch     from exec to the window's first expose and to its first
#              painted frame, and the CPU used by then (median of the runs;
#              each program reports the moments itself, see
#              src/shell/FirstFrameReport.h)
#   start CPU  CPU from exec to 6 s later, with the shared objects mapped and
#              the threads alive then (medians; scripts/bench-launch.py)
#   parked     CPU and wake-ups over a minute with the rail parked
#   open       CPU and wake-ups over a minute with the rail held open on its
#              first module (Today), nothing moving, the pointer resting on
#              the card (the same hold as scripts/bench-reveal.sh)
#   reveal     CPU of Kolu and of the X server per open-and-close of the rail
#              by the pointer, the parked rate taken off
#   memory     resident memory and its proportional share (PSS) after the
#              parked minute, after every module was opened, and 30 s after
#              the rail collapsed
# Aims: first frame <= 1.3x the minimal program, start CPU <= 1.5x, held open
# <= 1.5x parked, memory <= 45 MB at launch and 30 s after a collapse.
# KOLU_BENCH_RUNS (5) and KOLU_BENCH_IDLE_SECONDS (60) shorten a run;
# KOLU_BENCH_JOBS (3) is the build's parallelism. KOLU_BENCH_BASELINE names
# another build of kolu (an older one, with its modules beside it) that takes
# its turn in the launch runs, shown in a column of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOLU_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build/bench -j "${KOLU_BENCH_JOBS:-3}" --target kolu kolu_media kolu_minimal_rail
kolu=$PWD/build/bench/src/kolu
minimal=$PWD/build/bench/benchmarks/yardstick/kolu_minimal_rail
runs=${KOLU_BENCH_RUNS:-5}
idle_seconds=${KOLU_BENCH_IDLE_SECONDS:-60}
reveals=10

source scripts/bench-desktop.sh
xserver=${pids[0]}

median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) print "n/a"; else printf "%.2f", a / b }'; }
alive() { kill -0 "$kolu_pid" 2>/dev/null || { echo "bench-shell: Kolu ended $1" >&2; exit 1; }; }
threads() { awk '/^Threads:/ {print $2}' "/proc/$1/status"; }
objects() { grep -oE '[^ ]+\.so(\.[0-9.]+)?$' "/proc/$1/maps" | sort -u | wc -l; }

baseline=${KOLU_BENCH_BASELINE:-}
launched=(minimal kolu)
[ -n "$baseline" ] && launched+=(baseline)

# Launch runs, the programs taking turns.
declare -A launch
for name in "${launched[@]}"; do for f in exposed painted paintcpu cpu objects threads; do launch[$name.$f]=""; done; done
for _ in $(seq "$runs"); do
  for name in "${launched[@]}"; do
    case $name in minimal) program=$minimal ;; kolu) program=$kolu ;; *) program=$baseline ;; esac
    read -r exposed painted paintcpu cpu objs thr < <(python3 scripts/bench-launch.py "$program" 6)
    launch[$name.exposed]+=" $exposed"; launch[$name.painted]+=" $painted"; launch[$name.paintcpu]+=" $paintcpu"
    launch[$name.cpu]+=" $cpu"; launch[$name.objects]+=" $objs"; launch[$name.threads]+=" $thr"
  done
done
declare -A med
for key in "${!launch[@]}"; do
  # shellcheck disable=SC2086
  med[$key]=$(median ${launch[$key]})
done

# Starts a program and waits for its window.
start() {
  local program=$1 title=$2 pid
  "$program" >"$scratch/$(basename "$program").log" 2>&1 &
  pid=$!
  for _ in $(seq 200); do
    xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1 && break
    sleep 0.1
  done
  echo "$pid"
}
minimal_pid=$(start "$minimal" "Minimal Rail")
kolu_pid=$(start "$kolu" "Kolu Rail")
pids+=("$minimal_pid" "$kolu_pid")
rail=$(xdotool search --name '^Kolu Rail$' | head -n1)
geometry() { xwininfo -id "$rail" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Width/{w=$NF} /Height/{h=$NF} END{print x, y, w, h}'; }

# Parked, side by side.
xdotool mousemove 700 450
sleep 8 # past the start-up refresh
watch_usage "$minimal_pid" "$idle_seconds" >"$scratch/minimal-parked" &
watcher=$!
read -r kolu_parked kolu_parked_switches < <(watch_usage "$kolu_pid" "$idle_seconds")
wait "$watcher"
read -r minimal_idle minimal_switches <"$scratch/minimal-parked"
minimal_rss=$(memory_text "$minimal_pid")
kolu_rss_launch=$(memory_text "$kolu_pid")
minimal_threads=$(threads "$minimal_pid"); kolu_threads=$(threads "$kolu_pid")
minimal_objects=$(objects "$minimal_pid"); kolu_objects=$(objects "$kolu_pid")

# The pointer rests on the screen edge beside the rail: the hover poll and
# the slide take well under 1.5 s.
reveal() {
  read -r _ y _ h < <(geometry)
  xdotool mousemove 1439 $(( y + h / 2 ))
  sleep 1.5
}
collapse() { xdotool mousemove 700 450; sleep 1.5; }

# One reveal after another: Kolu's and the X server's CPU per open and close.
collapse
kolu_start=$(cpu_ns "$kolu_pid"); x_start=$(cpu_ns "$xserver"); t0=$(now_ms)
for _ in $(seq "$reveals"); do reveal; collapse; done
t1=$(now_ms)
alive "during the reveals"
kolu_reveals=$(( $(cpu_ns "$kolu_pid") - kolu_start )); x_reveals=$(( $(cpu_ns "$xserver") - x_start ))
# The parked rate over the same time is not the reveal's.
kolu_per_reveal=$(awk -v c="$kolu_reveals" -v p="$kolu_parked" -v s="$idle_seconds" -v t=$(( t1 - t0 )) -v n="$reveals" \
  'BEGIN { printf "%.1f", (c - p * t / (s * 1000)) / n / 1e6 }')
x_per_reveal=$(awk -v c="$x_reveals" -v n="$reveals" 'BEGIN { printf "%.1f", c / n / 1e6 }')

# Every module opened, the way a user opens it: its button in the tool strip.
for i in $(seq 0 9); do
  reveal
  read -r x y w h < <(geometry)
  xdotool mousemove $(( x + w - 53 )) $(( y + (h - 620) / 2 + 33 + 50 * i )) click 1
  sleep 1.2
done
alive "while its modules were opened"
kolu_rss_modules=$(memory_text "$kolu_pid")
collapse
sleep 30
alive "after the rail collapsed"
kolu_rss_after=$(memory_text "$kolu_pid")

# Held open on Today with nothing moving, the pointer resting on the card.
hold_open_on_today "$rail"
read -r kolu_open kolu_open_switches < <(watch_usage "$kolu_pid" "$idle_seconds")
alive "while the rail was held open"
collapse

ms() { awk -v n="$1" 'BEGIN { printf "%.1f", n / 1e6 }'; }
row() { printf '%-34s %10s %10s %8s %s\n' "$@"; }
# A launch row: the baseline's figure and ratio, when there is one, after the aim.
launch_row() {
  local title=$1 field=$2 aim=${3:-} extra=""
  if [ -n "$baseline" ]; then
    extra="  baseline ${med[baseline.$field]} ($(ratio "${med[baseline.$field]}" "${med[minimal.$field]}"))"
  fi
  row "$title" "${med[minimal.$field]}" "${med[kolu.$field]}" "$(ratio "${med[kolu.$field]}" "${med[minimal.$field]}")" \
    "$aim$extra"
}
row "" minimal kolu ratio aim
launch_row "first expose, ms" exposed
launch_row "first painted frame, ms" painted "<= 1.30"
launch_row "CPU to first frame, ms" paintcpu
launch_row "CPU to +6 s, ms" cpu "<= 1.50"
launch_row "shared objects at +6 s" objects
launch_row "threads at +6 s" threads
row "shared objects / threads later" "$minimal_objects/$minimal_threads" "$kolu_objects/$kolu_threads" ""
per_s() { awk -v n="$1" -v s="$idle_seconds" 'BEGIN { printf "%.1f", n / s }'; }
row "CPU over ${idle_seconds} s parked, ms" "$(ms "$minimal_idle")" "$(ms "$kolu_parked")" \
  "$(ratio "$kolu_parked" "$minimal_idle")"
row "wake-ups a second, parked" "$(per_s "$minimal_switches")" "$(per_s "$kolu_parked_switches")" \
  "$(ratio "$kolu_parked_switches" "$minimal_switches")"
row "CPU over ${idle_seconds} s held open, ms" "$(ms "$minimal_idle")" "$(ms "$kolu_open")" \
  "$(ratio "$kolu_open" "$minimal_idle")" "<= 1.50 x parked: $(ratio "$kolu_open" "$kolu_parked")"
row "wake-ups a second, held open" "$(per_s "$minimal_switches")" "$(per_s "$kolu_open_switches")" \
  "$(ratio "$kolu_open_switches" "$minimal_switches")" "<= 1.50 x parked: $(ratio "$kolu_open_switches" "$kolu_parked_switches")"
row "CPU per reveal (open+close), ms" "" "$kolu_per_reveal" "" "X server: $x_per_reveal ms"
printf '%-34s %s\n' "resident after parked, minimal" "$minimal_rss"
printf '%-34s %s   aim <= 45 MB\n' "resident after parked, kolu" "$kolu_rss_launch"
printf '%-34s %s\n' "resident, every module opened" "$kolu_rss_modules"
printf '%-34s %s   aim <= 45 MB\n' "resident 30 s after collapse" "$kolu_rss_after"
