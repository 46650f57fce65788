#!/usr/bin/env bash
# Builds the program and starts it. On first start it creates its archive beside the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh"
exec "${CALVETRA_BUILD_DIR:-$root/build}/bin/calvetra" "$@"
