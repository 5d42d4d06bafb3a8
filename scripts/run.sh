#!/usr/bin/env bash
# Builds Kolu when it has to and starts it. A build that is current starts at
# once: the package check runs only when there is no build yet, and CMake
# configures again only when a CMake file changed (the build does that
# itself).
set -euo pipefail
cd "$(dirname "$0")/.."

# Kolu is a window on an X11 display (on Wayland, through XWayland). Without
# one the program says so in one line; a local display is checked here first,
# in the program's words, so that nothing is built for a run that cannot start.
no_display() {
  echo "Kolu needs an X11 display (or XWayland on a Wayland session): $1." >&2
  exit 1
}
[ -n "${DISPLAY:-}" ] || no_display "DISPLAY is not set"
# A local display is a socket in /tmp/.X11-unix; any other is left to the program.
if [[ "$DISPLAY" =~ ^(unix)?:([0-9]+)(\.[0-9]+)?$ ]]; then
  [ -S "/tmp/.X11-unix/X${BASH_REMATCH[2]}" ] || no_display "no X server answers on $DISPLAY"
fi

dir=build/release
program=$dir/src/kolu
if [ ! -f "$dir/build.ninja" ]; then
  bash scripts/setup.sh
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOLU_BUILD_TESTS=OFF >/dev/null
  cmake --build "$dir"
elif [ ! -x "$program" ] || [ -n "$(find CMakeLists.txt cmake src resources assets -newer "$program" -print -quit)" ]; then
  # Something the program is built from changed since it was last linked.
  cmake --build "$dir"
fi
exec "$program" "$@"
