# Sourced by the shell benchmarks: a private X server with openbox, a private
# session bus and a home of its own with the onboarding done, all ended on
# exit. Defines `pids` (add to it what the benchmark starts) and `now_ms`.
scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1440x900x24 -nolisten tcp -noreset 3>"$scratch/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$scratch/display")"
openbox --sm-disable 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done

export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_DATA_HOME=$scratch/home/.local/share
export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -p "$XDG_CONFIG_HOME/Kolu" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
echo '{"hasCompletedOrlixOnboarding": true}' >"$XDG_CONFIG_HOME/Kolu/defaults.json"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
eval "$(dbus-launch --sh-syntax)"
pids+=("$DBUS_SESSION_BUS_PID")

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
