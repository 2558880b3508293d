#!/usr/bin/env bash
# Builds the Debian package: the programs built with Debian's hardening
# flags (dpkg-buildflags), packed by CPack with dependencies found from their
# shared libraries. Prints the package's path.
#   ./scripts/package.sh [BUILD_FOLDER]        (default build-package)
#   ./scripts/package.sh --cmake-args          the configure arguments for those
#                                              flags, one a line
#   ./scripts/package.sh --configured FOLDER   whether a build folder has them
# A build folder already configured with these arguments (the test command's
# build-tests/, tests and all) is built and packed as it is, not configured
# again; any other is configured for the package alone.
# Install it with: sudo apt-get install ./build-package/tirelma_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

cmake_args() {
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    echo "-DCMAKE_BUILD_TYPE=None"
    echo "-DCMAKE_INSTALL_PREFIX=/usr"
    echo "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS) -ffile-prefix-map=$PWD=."
    echo "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)"
}

# Whether a build folder's cache holds every one of those arguments.
configured_for_package() {
    local cache=$1/CMakeCache.txt arg name value
    [ -f "$cache" ] || return 1
    while read -r arg; do
        arg=${arg#-D} name=${arg%%=*} value=${arg#*=}
        [ "$(sed -n "s/^$name:[A-Z]*=//p" "$cache")" = "$value" ] || return 1
    done < <(cmake_args)
}

case ${1:-} in
--cmake-args) cmake_args; exit 0 ;;
--configured) configured_for_package "${2:?a build folder}"; exit ;;
esac
build=${1:-build-package}

./scripts/install-deps.sh package >&2

if ! configured_for_package "$build"; then
    mapfile -t args < <(cmake_args)
    cmake -S . -B "$build" -G Ninja "${args[@]}" -DTIRELMA_TESTS=OFF -DTIRELMA_AUTOSTART=OFF >&2
fi
cmake --build "$build" -j2 >&2
rm -f "$build"/tirelma_*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/tirelma_*.deb
