#!/usr/bin/env bash
# Builds with the address and undefined-behaviour sanitizers into build-asan/ and runs every
# test there. Any sanitizer report fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export CALVETRA_BUILD_DIR=${CALVETRA_BUILD_DIR:-$root/build-asan}
export CALVETRA_BUILD_TYPE=Debug
bash "$root/scripts/build.sh" -DCALVETRA_SANITIZE=ON -DCALVETRA_BENCHES=OFF "$@"
export QT_QPA_PLATFORM=offscreen
# Leaks at exit belong to the libraries' own caches; memory errors and undefined behaviour stop.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
cd "$CALVETRA_BUILD_DIR"
ctest --output-on-failure -j"$(nproc)"
