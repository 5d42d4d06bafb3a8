#!/usr/bin/env bash
# Builds and runs every test: the format check of every C++ file, the suite in
# a normal build, the suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and each file-reader fuzz target for a bounded
# time. Tests run under a virtual X display and a private D-Bus session bus.
# Every stage runs even when an earlier one failed; the run ends with each
# stage's result and fails when any stage failed.
#   --quick   the format check and the normal build's suite only
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh || exit 1

quick=0
[ "${1:-}" = "--quick" ] && quick=1
jobs=$(nproc)

# A virtual X display of our own: the server picks a free display number
# itself, so runs on the same machine never share or race for one, and it
# never resets when its last client leaves (a test connecting during a reset
# would be refused).
scratch=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; rm -rf "$scratch"' EXIT
for _ in $(seq 100); do
  [ -s "$scratch/display" ] && break
  sleep 0.1
done
[ -s "$scratch/display" ] || { echo "Xvfb did not start:"; cat "$scratch/xvfb.log"; exit 1; }
export DISPLAY=":$(cat "$scratch/display")"

results=()
failed=0
# Runs one stage and notes its result; a failing stage never stops the run.
stage() {
  local name=$1; shift
  echo "== $name"
  local start=$SECONDS
  if "$@"; then
    results+=("passed  $name ($((SECONDS - start)) s)")
  else
    results+=("FAILED  $name ($((SECONDS - start)) s)")
    failed=1
  fi
}

# Each step is chained: errexit does not hold inside a function run as a
# condition.
run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DKOLU_WERROR=ON "$@" >/dev/null \
    && cmake --build "$dir" -j "$jobs" \
    && dbus-run-session --config-file=tests/support/private-bus.conf -- \
      ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

sanitized_suite() (
  # The address sanitizer's hook on __tls_get_addr is left out: with this
  # glibc its record of a thread's dynamic thread-local blocks can hold a
  # stale range, and the leak checker's own tracer then crashes reading it at
  # exit. Those blocks are ordinary heap blocks reachable from the thread's
  # vector, so leaks through them are still found.
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
  run_suite build/sanitize -DCMAKE_BUILD_TYPE=Debug -DKOLU_SANITIZE=ON
)

stage "format" bash scripts/check-format.sh
stage "suite" run_suite build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOLU_BUILD_BENCHMARKS=ON
if [ $quick = 0 ]; then
  stage "suite under sanitizers" sanitized_suite
  stage "fuzz targets" bash scripts/fuzz.sh "${KOLU_FUZZ_SECONDS:-20}"
fi

echo "== summary"
printf '  %s\n' "${results[@]}"
exit $failed
