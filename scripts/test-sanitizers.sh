#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and runs the
# whole test suite under them, the real-window tests included. A memory error, undefined behaviour or
# a leak of ours fails the run; what the system libraries keep for the life of the process by design is
# listed, with the reason, in tests/sanitizers/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/install-deps.sh

# -O1 keeps the instrumented suite quick enough; the frame pointers keep the reports' stacks whole.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
  -DQWELTO_SANITIZE=ON -DQWELTO_BUILD_BENCH=OFF >/dev/null
nice cmake --build build-asan -j2

# A finding ends the program with a failing status (not an abort, which would only add QtTest's debugger
# dump). The system libraries have no frame pointers: the slower unwinder is what lets a leak's stack
# reach the library that made it, which the suppressions name; 16 frames reach far enough.
# A test may preload a small interposing library into the player; the runtime still comes first where
# it matters, so its load-order check is off.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:check_initialization_order=1:strict_init_order=1:detect_odr_violation=2:fast_unwind_on_malloc=0:malloc_context_size=16:verify_asan_link_order=0"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# GLib's slice allocator would hide blocks from the leak checker; plain malloc keeps every block visible.
export G_SLICE=always-malloc G_DEBUG=gc-friendly
# No session bus runs under xvfb-run here. Left without an address, libdbus tries to launch one for
# Qt's desktop integration, and that failing attempt loses a buffer; "disabled:" says there is none, to
# Qt and to the player. The suite that drives the player's media controls starts a bus of its own.
export DBUS_SESSION_BUS_ADDRESS=disabled:
# The plugin registry is built once for the whole run instead of being rescanned under the sanitizers.
export GST_REGISTRY="$root/build-asan/gst-registry.bin"

cd build-asan
# The instrumented suite runs about twice as long as the plain one; every test stays well inside its
# own time limit. Not niced: the engine tests play in real time, and at a low priority any other load
# on the machine starves them past the engine's open timeout. Arguments go to ctest (-R, -L ...).
ctest --output-on-failure "$@"
