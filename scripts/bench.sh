#!/usr/bin/env bash
# Installs what is missing, builds the player and its benchmarks in release mode into build-release/,
# and prints the table of figures. Arguments go to bench_report (--seconds N: shorter CPU windows).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DQWELTO_BUILD_TESTS=OFF >/dev/null
# The build talks on stderr, so that the table alone goes to stdout.
cmake --build build-release -j"$(nproc)" --target bench_report >&2
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
XDG_RUNTIME_DIR="$runtime" xvfb-run -a -s "-screen 0 1280x1024x24" build-release/bench/bench_report "$@"
