#!/usr/bin/env bash
# Renders tirelma.svg into the PNG sizes of the hicolor icon theme
# (hicolor/NxN/apps/tirelma.png, committed). Needs librsvg2-bin.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "hicolor/${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" tirelma.svg -o "hicolor/${size}x${size}/apps/tirelma.png"
done
