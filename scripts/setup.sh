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
  # media back end for the radio and ambient loops
  gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-libav
  # the ambient loops are played through GStreamer directly (gapless passes)
  libgstreamer1.0-dev
  # TLS for the HTTPS radio streams that GStreamer fetches
  glib-networking
  # tests
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth dbus dbus-x11
  # another program that owns the clipboard, for the clipboard tests
  xclip
  # tools Kolu runs at run time and at build time
  unzip sox
  # the output mute: followed through libpulse (PipeWire or PulseAudio),
  # with pactl where no connection can be made
  libpulse-dev pulseaudio-utils
  # a sound server of the tests' own, for the output-mute tests
  pulseaudio
  # X11 client library: hiding other applications' windows (EWMH)
  libxcb1-dev
  # X11 input shapes: only what the rail draws takes clicks
  libxcb-shape0-dev
  # a small EWMH window manager, for the window-hiding tests under Xvfb
  openbox
  # drives and reads the end-to-end rail tests under Xvfb
  xdotool x11-utils
  # a compositing manager, for the rail's window-shape tests with and without one
  picom
  # the plain X11 desktop-picture setter (also used by the tests under Xvfb)
  xwallpaper
  # the radio's integration tests cut a short HLS stream with it
  ffmpeg
  # date and time texts (the style layer formats through ICU)
  libicu-dev
)
# npm fetches the icon set and the display font at configure time. A Node.js
# that already brings its own npm is kept; otherwise Debian's is installed.
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
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
