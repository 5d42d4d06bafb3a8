#!/usr/bin/env bash
# Brings a Debian 12 machine to a working Kolu build. Safe to run again:
# when every package is already installed it only checks and returns.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  # Qt 6 and friends
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev libqt6svg6
  qcoro-qt6-dev libical-dev
  # the Tray's thumbnails of WebP and TIFF pictures
  qt6-image-formats-plugins
  # media back end for the radio and ambient loops
  gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-libav
  # the ambient loops are played through GStreamer directly (gapless passes)
  libgstreamer1.0-dev
  # TLS for the HTTPS radio streams that GStreamer fetches
  glib-networking
  # the format check on changed lines (clang-format and clang-format-diff)
  clang-format
  # tests
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  # the hostile-input benchmark packs its archive bomb with zlib
  zlib1g-dev
  xvfb xauth dbus dbus-x11
  # another program that owns the clipboard, for the clipboard tests
  xclip
  # tools Kolu runs at run time and at build time
  sox
  # the wallpaper library's zip archive is unpacked in-process
  libarchive-dev
  # the update feed's signature is checked with the system's crypto library
  libssl-dev
  # the output mute: followed through libpulse (PipeWire or PulseAudio),
  # with pactl where no connection can be made
  libpulse-dev pulseaudio-utils
  # a sound server of the tests' own, for the output-mute tests
  pulseaudio
  # the now-playing benchmark measures its refresh against playerctl's
  playerctl
  # X11 client library: hiding other applications' windows (EWMH), reading
  # another program's clipboard on a worker
  libxcb1-dev
  # X11 input shapes: only what the rail draws takes clicks
  libxcb-shape0-dev
  # X11 selection-owner changes: following a compositor that starts or stops
  libxcb-xfixes0-dev
  # X11 pointer motion (XInput 2): the hover poll rests while nothing moves
  libxcb-xinput-dev
  # a small EWMH window manager, for the window-hiding tests under Xvfb
  openbox
  # drives and reads the end-to-end rail tests under Xvfb
  xdotool x11-utils
  # a compositing manager, for the rail's window-shape tests with and without one
  picom
  # Arabic glyphs for the radio's station names
  fonts-noto-core
  # the plain X11 desktop-picture setter (also used by the tests under Xvfb)
  xwallpaper
  # the radio's integration tests cut a short HLS stream with it
  ffmpeg
  # date and time texts (the style layer formats through ICU)
  libicu-dev
  # the interface font's family, resolved the same in every locale
  libfontconfig-dev
)
# npm fetches the icon set, the display font and the brand icons at configure
# time. A Node.js that already brings its own npm is kept; otherwise Debian's
# is installed.
if ! command -v npm >/dev/null 2>&1; then
  packages+=(nodejs npm)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}" >&2
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

# Another package manager run (an unattended upgrade on a fresh machine, a
# software centre) holds apt's and dpkg's locks until it ends. Wait for it,
# for at most KOLU_APT_LOCK_WAIT seconds, rather than failing at once.
lock_wait=${KOLU_APT_LOCK_WAIT:-600}
deadline=$((SECONDS + lock_wait))
apt_get() {
  local output status told=0
  while :; do
    output=$($SUDO apt-get "$@" 2>&1) \
      && status=0 || status=$?
    [ $status -eq 0 ] && return 0
    if grep -qE 'Could not get lock|Unable to (acquire|lock)' <<<"$output"; then
      if [ $SECONDS -ge $deadline ]; then
        echo "$output" >&2
        echo "setup: another package manager still holds the package lock after ${lock_wait} s;" \
          "let it finish (or end it), then run scripts/setup.sh again" >&2
        return 1
      fi
      if [ $told = 0 ]; then
        echo "setup: another package manager holds the package lock; waiting up to ${lock_wait} s for it" >&2
        told=1
      fi
      sleep 2
      continue
    fi
    echo "$output" >&2
    return $status
  done
}
apt_get update -qq
apt_get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
