#!/usr/bin/env bash
# tirelma-read.exe from the zip on the shipped examples: the same readings as
# on Linux (examples/*.expected, which the Linux test holds the Linux reader
# to), line by line with CR LF as Windows programs print them; the profile
# found beside the program in a folder with Japanese in its name; the exit
# codes of bad input; the profile never written; Japanese text redirected and
# in a console window; a watch whose pipe closes, or that hangs and gets
# Ctrl+C twice.
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

# Japanese area names and messages: redirected, UTF-8 with CR LF; in a
# console window set to the Japanese code page (wine's console on a
# terminal, as cmd.exe on Japanese Windows), shown as they are, written as
# wide text and not as UTF-8 bytes that the console would read as CP932.
con="$W/console"
cp -r "$bin" "$con"
printf '[ARIALIST]\r\nLIST0=カウンタ\r\n[ENDDATA]\r\nAREA=カウンタ\r\n[認識エリアカウンタ]\r\nCHRGROP= 0\r\nLEFT=10\r\nTOP=10\r\nWIDTH=20\r\nHEIGHT=10\r\n[CHRGROPLIST]\r\nG0=数字\r\n' |
    iconv -f UTF-8 -t CP932 >"$con/Kavoren.ini"
listed="カウンタ: left 10, top 10, width 20, height 10, group 0 (数字), current"
expect_eq "Japanese names, redirected" "$(crlf "$listed")" "$(cd "$con" && "$WINE" tirelma-read.exe --list-areas 2>/dev/null)"
# Wine's console draws a run of blanks as a cursor move (ESC [ n C): taken
# back as blanks, the others dropped.
in_console() { # command line for cmd.exe, in the console's own code page 932
    (cd "$con" && LANG=C.UTF-8 timeout 120 script -qc "\"$WINE\" cmd /c \"chcp 932 >nul & $1\"" /dev/null) 2>&1 |
        perl -pe 's/\x1b\[(\d*)C/" " x ($1 || 1)/ge; s/\x1b\[[0-9;?]*[a-zA-Z]//g' | tr -d '\r' | grep -v 'fixme:'
}
expect_eq "Japanese names in a console" "$listed" "$(in_console "tirelma-read.exe --list-areas" | grep -F 'left 10')"
shown=$(in_console "tirelma-read.exe --area 温度 x.png")
case $shown in
*'no area "温度"'*) win_log "ok: a Japanese message in a console" ;;
*) fail "a Japanese message in a console: [$shown]" ;;
esac

# --watch in a pipeline: the reader of the pipe going away ends the watch
# (`tirelma-read --screen --watch 1 | findstr x`, findstr ended), also while
# the reading does not change and nothing is written.
cp "$WIN_BUILD/tests/tools/watchfixture.exe" "$bin/"
closed=$(cd "$bin" && timeout 120 "$WINE" watchfixture.exe close "tirelma-read.exe --screen --watch 1" 2>/dev/null | tr -d '\r')
win_log "$(tr '\n' ' ' <<<"$closed")"
grep -q '^ended after the pipe closed: yes' <<<"$closed" || fail "the watch went on after its pipe closed"

# A watch that hangs (its output is a pipe that nobody reads) is not ended
# by a first Ctrl+C, which only asks it to stop, and is by a second one, as
# on Linux. The keys are typed into wine's console on a terminal.
mkfifo "$W/keys"
exec 6<>"$W/keys"
(cd "$bin" && LANG=C.UTF-8 script -qfc "\"$WINE\" watchfixture.exe interrupt \"$(winepath_of "$W/interrupt.txt")\" \"tirelma-read.exe --screen --watch 1 --format json\"" /dev/null <&6 >"$W/interrupt.log" 2>&1) &
WIN_PIDS+=($!)
wait_for 900 grep -q hangs "$W/interrupt.txt" || fail "the watch never hung in its write: $(cat "$W/interrupt.txt" 2>/dev/null)"
printf '\003' >&6
sleep 3
grep -q 'ended' "$W/interrupt.txt" && fail "a first Ctrl+C ended a watch hanging in a write"
printf '\003' >&6
wait_for 900 grep -q ' after ' "$W/interrupt.txt"
expect_eq "a hung watch and two Ctrl+C" "ended after 2 Ctrl+C" "$(grep ' after ' "$W/interrupt.txt" | tr -d '\r')"
exec 6>&-
exit $TEST_FAILED
