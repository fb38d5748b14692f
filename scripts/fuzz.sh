#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for a bounded time (default 60
# seconds, or the first argument). The seeds in tests/fuzz/corpus/ start each run; what a run learns is
# kept in build-fuzz/corpus/ for the next one. Any crash or broken property fails the run, leaving the
# input in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bash scripts/install-deps.sh

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
  -DCMAKE_CXX_COMPILER=clang++ -DQWELTO_FUZZ=ON -DQWELTO_BUILD_TESTS=OFF -DQWELTO_BUILD_BENCH=OFF >/dev/null
nice cmake --build build-fuzz -j2 --target fuzz_listfile fuzz_playlists fuzz_listformat fuzz_settings fuzz_videocd fuzz_handover fuzz_uris

export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
mkdir -p build-fuzz/artifacts

run() {
  local name=$1 max_len=$2
  mkdir -p "build-fuzz/corpus/$name"
  echo "== fuzz_$name for ${seconds}s"
  nice "build-fuzz/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len="$max_len" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -dict="tests/fuzz/$name.dict" \
    -artifact_prefix="build-fuzz/artifacts/$name-" \
    "build-fuzz/corpus/$name" "tests/fuzz/corpus/$name"
}

# List files are small but a whole playlist is kilobytes long; settings values are short texts.
run listfile 65536
run playlists 65536
run listformat 65536
run settings 256
# The root folder's, the track folder's and the volume descriptor's blocks, 2048 bytes each.
run videocd 6144
run handover 65536
run uris 4096
