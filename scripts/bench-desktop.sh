# Sourced by the shell benchmarks: a private X server with openbox, a private
# session bus and a home of its own with the onboarding done, all ended on
# exit. Defines `pids` (add to it what the benchmark starts), `now_ms` and
# the measures both shell benchmarks take the same way: `cpu_ns`,
# `watch_usage`, `memory_text` and `hold_open_on_today`.
scratch=$(mktemp -d)
pids=()
cleanup() {
  local status=$? pid i
  # Last started first (the programs measured before the X server), each
  # until it has gone: Kolu saves into the temporary home as it quits.
  for (( i = ${#pids[@]} - 1; i >= 0; i-- )); do
    pid=${pids[i]}
    kill "$pid" 2>/dev/null || continue
    # Gone, or a child that ended and waits to be reaped.
    for _ in $(seq 100); do
      [ -e "/proc/$pid" ] && awk '{ exit $3 == "Z" }' "/proc/$pid/stat" 2>/dev/null || break
      sleep 0.05
    done
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$scratch" || true
  exit "$status"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1440x900x24 -nolisten tcp -noreset 3>"$scratch/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$scratch/display")"
openbox --sm-disable 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
# KOLU_BENCH_COMPOSITOR, when set, holds picom's options ("--backend xrender",
# say): the desktop then runs that compositor too, started before anything
# is measured.
if [ -n "${KOLU_BENCH_COMPOSITOR:-}" ]; then
  # shellcheck disable=SC2086 # the options are split as given
  picom $KOLU_BENCH_COMPOSITOR >/dev/null 2>&1 &
  pids+=($!)
  sleep 1 # it has taken the screen's compositing selection
fi

export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_DATA_HOME=$scratch/home/.local/share
export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -p "$XDG_CONFIG_HOME/Kolu" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
echo '{"hasCompletedOrlixOnboarding": true}' >"$XDG_CONFIG_HOME/Kolu/defaults.json"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
eval "$(dbus-launch --sh-syntax)"
pids+=("$DBUS_SESSION_BUS_PID")

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# CPU nanoseconds of the whole process, exited threads and waited-for
# children included: it never goes down.
cpu_ns() { python3 scripts/proc-usage.py cpu "$1" 2>/dev/null || echo 0; }
# "CPU-ns context-switches" of a process over the next $2 seconds.
watch_usage() { python3 scripts/proc-usage.py watch "$1" "$2"; }
# "RSS (PSS) MB" of a process.
memory_text() {
  python3 scripts/proc-usage.py memory "$1" | awk '{ printf "%.1f MB (PSS %.1f MB)", $1 / 1024, $2 / 1024 }'
}

# The width of what the rail window (its id) draws: its window holds the
# rail opened and closed alike, so the drawn shape tells an opened rail.
rail_drawn_width() {
  xwininfo -shape -id "$1" | awk '/Window shape extents:/ { split($NF, s, "x"); print s[1] + 0 }'
}

# Opens the rail (at the right edge) on Today by its button and rests the
# pointer on the card, where a user reading it leaves it. Takes the rail's
# window id.
hold_open_on_today() {
  local rail=$1 x y w h
  xdotool mousemove 1439 450
  for _ in $(seq 50); do
    read -r x y w h < <(xwininfo -id "$rail" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
      /Width/{w=$NF} /Height/{h=$NF} END{print x, y, w, h}')
    [ "$(rail_drawn_width "$rail")" -gt 300 ] && break
    sleep 0.2
  done
  sleep 0.6
  xdotool mousemove $(( x + w - 53 )) $(( y + (h - 620) / 2 + 33 )) click 1
  sleep 1.5
  xdotool mousemove $(( x + (w - 60) / 2 )) $(( y + h / 2 ))
  sleep 3
}
