#!/usr/bin/env bash
# Builds the Debian package: the programs built with Debian's hardening
# flags (dpkg-buildflags), packed by CPack with dependencies found from their
# shared libraries. Prints the package's path.
#   ./scripts/package.sh [BUILD_FOLDER]        (default build-package)
# Install it with: sudo apt-get install ./build-package/tirelma_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}

./scripts/install-deps.sh package >&2

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS) -ffile-prefix-map=$PWD=."
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DTIRELMA_TESTS=OFF -DTIRELMA_AUTOSTART=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >&2
cmake --build "$build" -j2 >&2
rm -f "$build"/tirelma_*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/tirelma_*.deb
