#!/usr/bin/env bash
# Builds the benchmarks in an optimised build and runs each one. Where khal
# happens to be installed, the week's agenda is also timed against it on the
# same calendar (khal is only a yardstick, never needed).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOLU_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build/bench -j "$(nproc)"
for bench in build/bench/benchmarks/kolu_bench_*; do
  echo "== $(basename "$bench")"
  xvfb-run -a dbus-run-session -- "$bench" "$@"
done

if command -v khal >/dev/null; then
  echo "== agenda of 7 days against khal"
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  # Median wall time of the week's read over 5 repetitions, in ms.
  ours=$(KOLU_BENCH_CALENDAR_COPY="$scratch/root" xvfb-run -a dbus-run-session -- \
    build/bench/benchmarks/kolu_bench_Calendar --benchmark_filter='^upcomingWeek' --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true 2>/dev/null | awk '/_median/ { print $2 }')
  {
    echo "[calendars]"
    for folder in "$scratch"/root/*/; do
      name=$(basename "$folder")
      printf '[[%s]]\npath = %s\n' "$name" "$folder"
    done
    printf '[locale]\nlocal_timezone = Europe/Berlin\ndefault_timezone = Europe/Berlin\n'
    printf 'timeformat = %%H:%%M\ndateformat = %%Y-%%m-%%d\nlongdateformat = %%Y-%%m-%%d\n'
    printf 'datetimeformat = %%Y-%%m-%%d %%H:%%M\nlongdatetimeformat = %%Y-%%m-%%d %%H:%%M\n'
    printf '[sqlite]\npath = %s/khal.db\n' "$scratch"
  } >"$scratch/config"
  export XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config.d"
  # The first run fills khal's own cache; the timed ones read through it.
  khal -c "$scratch/config" list 2026-03-02 7d >/dev/null
  times=()
  for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    khal -c "$scratch/config" list 2026-03-02 7d >/dev/null
    times+=($((($(date +%s%N) - start) / 1000000)))
  done
  theirs=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
  awk -v ours="$ours" -v theirs="$theirs" \
    'BEGIN { printf "kolu %.1f ms, khal %d ms (medians): %.2f x khal'"'"'s time\n", ours, theirs, ours / theirs }'
fi
