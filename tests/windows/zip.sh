#!/usr/bin/env bash
# The portable zip: exactly the files a user needs, in one folder; the
# resident program without a console window, the reader with one; every DLL
# that a program or plugin in it loads either in the zip or part of Windows;
# the README readable by Notepad (UTF-8 with a byte-order mark, CR LF).
set -u
build=${WIN_BUILD:?the Windows build folder}
fail=0
check() { # description, expected, actual
    if [ "$2" != "$3" ]; then echo "FAIL: $1: expected [$2], got [$3]"; fail=1; else echo "ok: $1"; fi
}
zip=$(ls "$build"/tirelma-*-windows-x64.zip 2>/dev/null | head -1)
[ -n "$zip" ] || { echo "FAIL: no zip in $build"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

expected="Tirelma/GPL-3
Tirelma/LGPL-3
Tirelma/Qt6Core.dll
Tirelma/Qt6Gui.dll
Tirelma/Qt6Widgets.dll
Tirelma/README.txt
Tirelma/help.html
Tirelma/libgcc_s_seh-1.dll
Tirelma/libstdc++-6.dll
Tirelma/libwinpthread-1.dll
Tirelma/platforms/qwindows.dll
Tirelma/styles/qwindowsvistastyle.dll
Tirelma/tirelma-read.exe
Tirelma/tirelma.exe
Tirelma/translations/qtbase_ja.qm"
expected=$(echo "$expected" | sed 's|^Tirelma/\([GL]*PL-3\)$|Tirelma/licenses/\1|' | LC_ALL=C sort)
files=$(python3 -c '
import sys, zipfile
for n in zipfile.ZipFile(sys.argv[1]).namelist():
    if not n.endswith("/"): print(n)' "$zip" | LC_ALL=C sort)
check "file list" "$expected" "$files"

python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$work"
dir="$work/Tirelma"
subsystem() { x86_64-w64-mingw32-objdump -p "$1" | awk '/^Subsystem/ {print $3, $4}'; }
check "tirelma.exe opens no console" "(Windows GUI)" "$(subsystem "$dir/tirelma.exe")"
check "tirelma-read.exe is a console program" "(Windows CUI)" "$(subsystem "$dir/tirelma-read.exe")"

# What Windows 10 and 11 bring along; everything else must be in the zip.
system="advapi32 authz comdlg32 d3d11 d3d9 dwmapi dwrite dxgi gdi32 imm32 kernel32 mpr msvcrt
netapi32 ole32 oleaut32 shcore shell32 shlwapi user32 userenv uxtheme version winmm ws2_32 wtsapi32
api-ms-win-core-synch-l1-2-0 api-ms-win-core-winrt-l1-1-0 api-ms-win-core-winrt-string-l1-1-0"
shipped=$(find "$dir" -name '*.dll' -printf '%f\n' | tr 'A-Z' 'a-z')
missing=""
while read -r binary; do
    for dll in $(x86_64-w64-mingw32-objdump -p "$binary" | awk '/DLL Name/ {print tolower($3)}'); do
        grep -qx "$dll" <<<"$shipped" && continue
        grep -qw -- "${dll%.dll}" <<<"$system" && continue
        missing+=" $(basename "$binary"):$dll"
    done
done < <(find "$dir" -name '*.exe' -o -name '*.dll')
check "every DLL loaded is shipped or part of Windows" "" "$missing"

readme=$(head -c 3 "$dir/README.txt" | od -An -tx1 | tr -d ' ')
check "README starts with a UTF-8 byte-order mark" "efbbbf" "$readme"
check "README lines end in CR LF" "0" "$(grep -vc $'\r$' "$dir/README.txt")"
exit $fail
