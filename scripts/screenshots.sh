#!/bin/bash
# Pictures of the player on a virtual display, into docs/screenshots/: the main window (also at 2x),
# its menus, the about box and the video window at each size. Needs a build (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
out=docs/screenshots
mkdir -p "$out"
runtime=$(mktemp -d)
config=$(mktemp -d)
trap 'rm -rf "$runtime" "$config"' EXIT
export XDG_RUNTIME_DIR=$runtime XDG_CONFIG_HOME=$config LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb
xvfb-run -a -s "-screen 0 1280x1024x24" build/tools/qwelto_screenshots "$out"
QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 1600x1200x24" build/tools/qwelto_screenshots "$out" --main-only
