#!/usr/bin/env bash
# Configures and builds into build/ (or $CALVETRA_BUILD_DIR). Extra arguments go to cmake.
# The program and the tests are built with the same options (warnings are errors), so that
# running one after the other rebuilds only what changed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
build=${CALVETRA_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=${CALVETRA_BUILD_TYPE:-RelWithDebInfo} \
  -DCALVETRA_WERROR=ON "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
