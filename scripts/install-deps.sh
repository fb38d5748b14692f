#!/usr/bin/env bash
# Installs, from Debian's archive only, what building, running and testing the player needs.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  # build
  cmake g++ make pkg-config
  qt6-base-dev libgl-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  libbenchmark-dev libxcb1-dev
  libcdio-dev
  # benchmarks: the gap between tracks, heard through a sound server of their own
  pulseaudio pulseaudio-utils
  # the picture on Wayland: Qt's connection to the compositor (private API) and the client library
  qt6-base-private-dev libwayland-dev
  # run: every promised format, MIDI through the small General MIDI soundfont
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-plugins-ugly gstreamer1.0-libav gstreamer1.0-x
  gstreamer1.0-alsa gstreamer1.0-pulseaudio
  timgm6mb-soundfont
  libqt6gui6 qt6-qpa-plugins qt6-translations-l10n fonts-dejavu-core fonts-liberation2
  # Wayland sessions: Qt's Wayland platform
  qt6-wayland
  # tests: a sound server of their own, whose streams keep volumes of their own
  pulseaudio
  # tests: media made at test time, a virtual display
  ffmpeg sox xvfb xauth
  # tests: the real player's windows seen and used from outside, as the X server shows them
  x11-utils xdotool
  # tests: Video CD images read like a disc in a drive
  vcdimager libcdio-utils
  # the installed desktop files' validators
  desktop-file-utils appstream
  # tests: a session bus of their own (dbus-run-session) for the media controls
  dbus libglib2.0-bin
  # tests on Wayland: a headless compositor with its screenshot tool, and X inside it
  weston xwayland
  # quality checks: sanitizers and fuzzing
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
