#!/usr/bin/env bash
# Installs what is missing, builds, and starts the player.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "There is no graphical display here (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Run the player on a virtual display with:  xvfb-run -a build/qwelto" >&2
  exit 2
fi
exec build/qwelto "$@"
