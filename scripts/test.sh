#!/usr/bin/env bash
# Builds with warnings as errors and runs every test through CTest, without a display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh" -DCALVETRA_WERROR=ON
export QT_QPA_PLATFORM=offscreen
cd "${CALVETRA_BUILD_DIR:-$root/build}"
ctest --output-on-failure -j"$(nproc)"
