#!/usr/bin/env bash
# tirelma-read.exe from the zip on the shipped examples: the same readings as
# on Linux (examples/*.expected, which the Linux test holds the Linux reader
# to), line by line with CR LF as Windows programs print them; the profile
# found beside the program in a folder with Japanese in its name; the exit
# codes of bad input; the profile never written.
source "$(dirname "$0")/lib.sh"
win_start
zip=$(win_zip)
[ -n "$zip" ] || { fail "no zip in $WIN_BUILD"; exit 1; }
win_unzip "$zip" "$W/読み取り"
bin="$W/読み取り/Tirelma"
ex="$WIN_SOURCE/examples"
cp "$ex/Kavoren.ini" "$bin/"
before=$(sha256sum <"$bin/Kavoren.ini")

read_with() { (cd "$bin" && "$WINE" tirelma-read.exe "$@" 2>"$W/err"); }
# Expected output: the Linux readings, each line ended by CR LF.
crlf() { printf '%s\n' "$@" | sed 's/$/\r/'; }

for image in counter.png position.ppm small.bmp; do
    expect_eq "$image" "$(crlf "$(cat "$ex/${image%.*}.expected")")" \
        "$(read_with "$(winepath_of "$ex/$image")")"
done
expect_eq "several images" "$(crlf 1234567890 -0.5)" \
    "$(read_with "$(winepath_of "$ex/counter.png")" "$(winepath_of "$ex/small.bmp")")"
expect_eq "snap" "$(crlf 12.5,-5.5)" "$(read_with --snap "$(winepath_of "$ex/position.ppm")")"
expect_eq "area by name" "$(crlf -0.5)" \
    "$(read_with --area Counter "$(winepath_of "$ex/small.bmp")")"
expect_eq "a profile named on the command line" "$(crlf -0.5)" \
    "$(read_with --profile "$(winepath_of "$ex/Kavoren.ini")" "$(winepath_of "$ex/small.bmp")")"
# Names as users of Japanese Windows give them.
mkdir "$W/画像"
cp "$ex/small.bmp" "$W/画像/小さい.bmp"
cp "$ex/Kavoren.ini" "$W/画像/設定.ini"
expect_eq "Japanese file names" "$(crlf -0.5)" \
    "$(read_with --profile "$(winepath_of "$W/画像/設定.ini")" "$(winepath_of "$W/画像/小さい.bmp")")"

expect_exit() { # description, code, args...
    local d=$1 code=$2
    shift 2
    read_with "$@" >/dev/null
    expect_eq "$d (exit)" "$code" "$?"
    [ -s "$W/err" ] || fail "$d: no message"
}
expect_exit "usage" 1
expect_exit "no profile" 2 --profile "$(winepath_of "$W/none.ini")" "$(winepath_of "$ex/small.bmp")"
expect_exit "no area" 3 --area Nowhere "$(winepath_of "$ex/small.bmp")"
echo "not an image" >"$W/bad.png"
expect_exit "bad image" 5 "$(winepath_of "$W/bad.png")"

expect_eq "profile untouched" "$before" "$(sha256sum <"$bin/Kavoren.ini")"
exit $WIN_FAILED
