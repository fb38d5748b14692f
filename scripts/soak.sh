#!/usr/bin/env bash
# Soak: the real player plays through 1,000+ generated clips in one run, on a virtual display, and must
# not crash, stall or grow (see bench/soak.cpp). Takes about 12 minutes; exits 0 only on a pass.
#   bash scripts/soak.sh [changes] [--keep]
# Builds a Release tree into build-release/ (or the tree named by QWELTO_SOAK_BUILD) when needed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${QWELTO_SOAK_BUILD:-build-release}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQWELTO_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target qwelto soak
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime LC_ALL=C.UTF-8
# A display number of its own, away from the test suite's short-lived ones.
xvfb-run -a -n 150 -s "-screen 0 1280x1024x24" "$build/bench/soak" "$@"
