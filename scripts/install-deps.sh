#!/usr/bin/env bash
# Installs the Debian 12 packages the build needs: "run" for the program,
# "package" for its Debian package, "windows" for the Windows build and its
# tests under wine, "test" for the program, the package, the Windows build
# and all the tests. Only missing packages are installed; nothing is
# downloaded at build or run time.
set -euo pipefail

what=${1:-run}
run_pkgs=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev libx11-dev libxrandr-dev
          libxi-dev libxtst-dev fonts-ipafont-gothic xdg-utils qt6-translations-l10n
          libwayland-dev libwayland-bin wayland-protocols qt6-wayland qt6-base-private-dev)
package_pkgs=(dpkg-dev file)
test_pkgs=(libgtest-dev libgmock-dev libbenchmark-dev clang clang-format clang-tidy
           libclang-rt-14-dev xvfb xauth xdotool xclip x11-utils x11-apps openbox trayer
           imagemagick at-spi2-core python3-pyatspi gir1.2-atspi-2.0 dbus python3-dbus python3-gi
           xfonts-base pcf2bdf
           sway swaybg grim wtype wl-clipboard xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk pipewire
           lintian appstream desktop-file-utils man-db)
windows_pkgs=(g++-mingw-w64-x86-64-posix googletest qt6-translations-l10n wine wine64 fonts-wine nsis
              xfonts-base pcf2bdf xvfb xdotool xclip x11-utils imagemagick python3)

pkgs=("${run_pkgs[@]}")
[ "$what" = package ] && pkgs+=("${package_pkgs[@]}")
[ "$what" = windows ] && pkgs+=("${windows_pkgs[@]}")
[ "$what" = test ] && pkgs+=("${package_pkgs[@]}" "${test_pkgs[@]}" "${windows_pkgs[@]}")

missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Run as root, or install sudo, to install: ${missing[*]}" >&2; exit 1; }
    sudo=sudo
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
