#!/usr/bin/env bash
# Renders the PNG sizes of the icon from calvetra.svg; run after changing the drawing and commit
# the pictures (the build uses them as they are). Needs librsvg2-bin.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" calvetra.svg -o "calvetra-$size.png"
done
