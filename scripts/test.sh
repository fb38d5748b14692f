#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite (the real-window tests under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# The layers first: an include against their order is caught before anything builds.
bash scripts/check-layers.sh
bash scripts/build.sh
cd build
ctest --output-on-failure --timeout 600 "$@"
