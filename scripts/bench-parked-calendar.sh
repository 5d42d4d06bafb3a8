#!/usr/bin/env bash
# Kolu parked with a large calendar, or without one: the CPU of the whole
# process (exited threads included, scripts/proc-usage.py) and its wake-ups
# over a stretch long enough to hold the five-minute refreshes, on a private
# X server with openbox (scripts/bench-desktop.sh).
#   bench-parked-calendar.sh [EVENTS]
# EVENTS (20000) event files in one vdir calendar, 200 of them repeating
# daily, the others spread over the coming week; 0 sets no calendar. The
# files are written before Kolu starts and have settled (older than the
# file system's clock could confuse) before the measuring begins.
# KOLU_BENCH_IDLE_SECONDS (650) is the stretch measured: begun at the first
# quiet stretch, within 120 s of the start, it holds the refreshes at 300
# and 600 s and no third. KOLU_BENCH_BINARY runs a Kolu already built
# instead of building build/bench.
# Run once with EVENTS and once with 0 (side by side is fine: each run has a
# server and home of its own); the aim is with <= 1.2 x without.
set -euo pipefail
cd "$(dirname "$0")/.."
events=${1:-20000}
seconds=${KOLU_BENCH_IDLE_SECONDS:-650}
kolu=${KOLU_BENCH_BINARY:-}
if [ -z "$kolu" ]; then
  bash scripts/setup.sh
  cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOLU_BUILD_BENCHMARKS=ON >/dev/null
  cmake --build build/bench -j "${KOLU_BENCH_JOBS:-3}" --target kolu kolu_media kolu_net
  kolu=$PWD/build/bench/src/kolu
fi

source scripts/bench-desktop.sh

if [ "$events" -gt 0 ]; then
  calendars=$HOME/Calendars
  python3 - "$calendars/work" "$events" <<'EOF'
import datetime, os, sys
folder, count = sys.argv[1], int(sys.argv[2])
os.makedirs(folder, exist_ok=True)
now = datetime.datetime.now(datetime.timezone.utc).replace(microsecond=0)
stamp = lambda moment: moment.strftime('%Y%m%dT%H%M%SZ')
for i in range(count):
    daily = i < 200
    start = now - datetime.timedelta(days=1) + datetime.timedelta(seconds=3600 + i * 60) if daily \
        else now + datetime.timedelta(seconds=1800 + i * 7 * 86400 // count)
    rule = 'RRULE:FREQ=DAILY\r\n' if daily else ''
    with open(os.path.join(folder, f'event-{i}.ics'), 'w', newline='') as out:
        out.write('BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Example//Bench//EN\r\nBEGIN:VEVENT\r\n'
                  f'UID:event-{i}@example.com\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:Event {i}\r\n'
                  f'LOCATION:Room {i % 40}\r\nDTSTART:{stamp(start)}\r\n'
                  f'DTEND:{stamp(start + datetime.timedelta(minutes=30))}\r\n{rule}'
                  'END:VEVENT\r\nEND:VCALENDAR\r\n')
EOF
  printf '{"hasCompletedOrlixOnboarding": true, "calendarFolderPath": "%s"}\n' "$calendars" \
    >"$XDG_CONFIG_HOME/Kolu/defaults.json"
  sleep 3 # the files settle
fi

"$kolu" >"$scratch/kolu.log" 2>&1 &
kolu_pid=$!
pids+=("$kolu_pid")
for _ in $(seq 200); do
  xdotool search --onlyvisible --name '^Kolu Rail$' >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool mousemove 700 450
# Past the start-up refresh, whose first read parses every file: measured
# from the first quiet stretch on.
settled=$(python3 scripts/proc-usage.py settle "$kolu_pid")
read -r cpu switches < <(watch_usage "$kolu_pid" "$seconds")
kill -0 "$kolu_pid" 2>/dev/null || { echo "bench-parked-calendar: Kolu ended" >&2; exit 1; }
awk -v c="$cpu" -v w="$switches" -v s="$seconds" -v e="$events" -v q="$settled" 'BEGIN {
  printf "events %d: CPU %.1f ms/min, %.1f wake-ups/s over %d s parked (quiet after %d s)\n",
    e, c / 1e6 / (s / 60), w / s, s, q }'
