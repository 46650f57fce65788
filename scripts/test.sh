#!/usr/bin/env bash
# Checks the sources' format, builds with warnings as errors and runs every test through CTest,
# without a display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/check-format.sh"
bash "$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
cd "${CALVETRA_BUILD_DIR:-$root/build}"
ctest --output-on-failure -j"$(nproc)"
