#!/usr/bin/env bash
# Rebuilds Qt for Windows (qtbase: Core, Gui, Widgets, Test, the windows
# platform plugin, the vista style) from Debian's own qt6-base source
# package, cross-built with mingw-w64 (posix threads), for anyone without the
# ready-made one. scripts/windows-build.sh then takes it from
# build-qt6-mingw/qt6-mingw (and build-qt6-mingw/qt6-mingw.tar.xz is made for
# other machines). Not run by the tests: about 950 build steps, 30 to 40
# minutes on 2 cores, and it downloads the source package.
#
#   scripts/windows-qt.sh [--dry-run]
#
# The source version is the one of the installed qt6-base-dev, whose moc,
# rcc and uic the Windows build uses. Steps:
# 1. a deb-src entry for every Debian archive apt already uses
#    (/etc/apt/sources.list.d/tirelma-deb-src.sources), apt-get source;
# 2. the upstream tarball with Debian's security and upstream fixes (a patch
#    named for a CVE, or whose header says Origin: upstream or backport);
#    Debian's packaging-only patches are left out;
# 3. Debian drops src/3rdparty/wintab/ (licence); the windows plugin needs
#    wintab.h and pktdef.h for pen tablets: Wine's LGPL ones from the
#    libwine-dev package (unpacked with dpkg-deb -x, not installed), with the
#    two Wine macros they use defined where missing;
# 4. configure, build, install into build-qt6-mingw/qt6-mingw.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
work=$root/build-qt6-mingw
prefix=$work/qt6-mingw
dry=0
[ "${1:-}" = --dry-run ] && dry=1
run() { echo "+ $*"; [ $dry -eq 1 ] || "$@"; }
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

./scripts/install-deps.sh windows
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
echo "windows-qt: qt6-base $version into $prefix"

# 1. Source entries beside the binary ones, and the source.
src_list=/etc/apt/sources.list.d/tirelma-deb-src.sources
if ! apt-get source --print-uris "qt6-base=$version" >/dev/null 2>&1; then
    entries=$(python3 - <<'EOF'
import glob, re
out = []
for f in glob.glob('/etc/apt/sources.list.d/*.sources'):
    for stanza in re.split(r'\n\s*\n', open(f).read()):
        lines = [l for l in stanza.splitlines() if l.strip() and not l.startswith('#')]
        fields = dict(l.split(':', 1) for l in lines if ':' in l and not l.startswith(' '))
        if fields.get('Types', '').split() and 'deb' in fields['Types'].split():
            out.append('\n'.join(['Types: deb-src'] + [l for l in lines if not l.startswith('Types:')]))
for f in ['/etc/apt/sources.list'] + glob.glob('/etc/apt/sources.list.d/*.list'):
    try:
        for l in open(f):
            m = re.match(r'\s*deb\s+(\[[^]]*\]\s+)?(\S+)\s+(\S+)\s+(.+)', l)
            if m:
                out.append(f'Types: deb-src\nURIs: {m.group(2)}\nSuites: {m.group(3)}\nComponents: {m.group(4).strip()}')
    except OSError:
        pass
print('\n\n'.join(out))
EOF
)
    echo "windows-qt: adding source entries in $src_list"
    if [ $dry -eq 1 ]; then echo "$entries"; else echo "$entries" | $sudo tee "$src_list" >/dev/null; fi
    run $sudo apt-get update -qq
fi
run $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends dpkg-dev perl
mkdir -p "$work/src"
cd "$work/src"
run apt-get source --download-only "qt6-base=$version"
[ $dry -eq 1 ] && { echo "windows-qt: dry run ends here"; exit 0; }

# 2. The upstream sources with the fixes.
upstream=${version%-*}
rm -rf qtbase-everywhere-src-* debian
tar -xf qt6-base_"$upstream".orig.tar.xz
tar -xf qt6-base_"$version".debian.tar.xz
qtsrc=$(ls -d "$work"/src/qtbase-everywhere-src-*)
while read -r patch; do
    patch=${patch%% *}
    case $patch in '' | '#'*) continue ;; esac
    file=debian/patches/$patch
    if [[ $patch == *CVE* ]] || grep -qiE '^Origin: *(upstream|backport)' "$file"; then
        echo "windows-qt: applying $patch"
        patch -d "$qtsrc" -p1 --batch --quiet <"$file"
    else
        echo "windows-qt: leaving out $patch (Debian packaging)"
    fi
done <debian/patches/series

# 3. Wine's tablet headers.
wine_version=$(dpkg-query -W -f='${Version}' libwine)
(cd "$work" && apt-get download "libwine-dev=$wine_version")
rm -rf "$work/libwine-dev"
dpkg-deb -x "$work"/libwine-dev_*.deb "$work/libwine-dev"
mkdir -p "$qtsrc/src/3rdparty/wintab"
for h in wintab.h pktdef.h; do
    found=$(find "$work/libwine-dev" -name "$h" -path '*windows*' | head -1)
    [ -n "$found" ] || { echo "windows-qt: $h not in libwine-dev" >&2; exit 1; }
    {
        cat <<'EOF'
/* Wine's header, for mingw-w64: the Wine macros it uses. */
#ifndef API
#define API WINAPI
#endif
#ifndef DECL_WINELIB_TYPE_AW
#define DECL_WINELIB_TYPE_AW(x)
#endif
#ifndef WINELIB_NAME_AW
#ifdef UNICODE
#define WINELIB_NAME_AW(x) x##W
#else
#define WINELIB_NAME_AW(x) x##A
#endif
#endif
EOF
        cat "$found"
    } >"$qtsrc/src/3rdparty/wintab/$h"
done

# 4. Configure, build, install. direct2d stays on: in 6.4.2 the DirectWrite
# font database is compiled only with it.
rm -rf "$work/build" "$prefix"
mkdir -p "$work/build"
cd "$work/build"
"$qtsrc/configure" -prefix "$prefix" -release -shared \
    -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32- \
    -qt-host-path /usr -nomake tests -nomake examples -no-opengl -no-dbus -no-icu \
    -no-feature-vulkan -qt-zlib -qt-libpng -qt-harfbuzz -no-freetype -qt-pcre \
    -no-libjpeg -no-gif -no-feature-sql -no-feature-network -no-feature-xml \
    -no-feature-printsupport -no-feature-concurrent \
    -- -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
cmake --build . --parallel 2
cmake --install .
tar -cJf "$work/qt6-mingw.tar.xz" -C "$work" qt6-mingw
echo "windows-qt: Qt for Windows in $prefix ($work/qt6-mingw.tar.xz for other machines)"
