#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tirelma. Without a display it
# reads the shipped example screenshots with the command-line reader instead.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTIRELMA_TESTS=OFF >/dev/null
cmake --build build -j2

if [ -x build/app/tirelma ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
    exec build/app/tirelma
fi
if [ -x build/app/tirelma ]; then
    echo "No display here: reading the example screenshots with tirelma-read instead."
else
    echo "Reading the example screenshots with tirelma-read:"
fi
for image in examples/counter.png examples/position.ppm examples/small.bmp; do
    printf '%-24s ' "$image"
    build/tools/tirelma-read --profile examples/Kavoren.ini "$image"
done
