#!/usr/bin/env bash
# The command-line reader on the shipped examples: the expected readings, the
# step rounding, a clear message and exit code for each kind of bad input,
# and a profile that is never written.
set -u
reader=$1
examples=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
check() { # description, expected, actual
    if [ "$2" != "$3" ]; then echo "FAIL: $1: expected [$2], got [$3]"; fail=1; fi
}

cp "$examples/Kavoren.ini" "$work/"
before=$(sha256sum < "$work/Kavoren.ini")
for image in counter.png position.ppm small.bmp; do
    check "$image" "$(cat "$examples/${image%.*}.expected")" \
          "$("$reader" --profile "$work/Kavoren.ini" "$examples/$image")"
done
check "several images" "$(printf '1234567890\n-0.5')" \
      "$("$reader" --profile "$work/Kavoren.ini" "$examples/counter.png" "$examples/small.bmp")"
check "snap" "12.5,-5.5" "$("$reader" --profile "$work/Kavoren.ini" --snap "$examples/position.ppm")"
check "area by name" "-0.5" "$("$reader" --profile "$work/Kavoren.ini" --area Counter "$examples/small.bmp")"
# The area's blank width: one white column between the glyphs puts the delimiter in.
sed 's/^HEIGHT=11\r$/HEIGHT=11\r\nBLANKWIDTH=1\r/' "$work/Kavoren.ini" > "$work/blanks.ini"
check "blank width" "1,2,3,4,5,6,7,8,9,0" "$("$reader" --profile "$work/blanks.ini" "$examples/counter.png")"

# The reader beside its profile, as the program finds it.
mkdir "$work/bin" && cp "$reader" "$work/bin/" && cp "$examples/Kavoren.ini" "$work/bin/"
check "profile beside the program" "-0.5" "$("$work/bin/$(basename "$reader")" "$examples/small.bmp")"

expect_exit() { # description, code, args...
    local d=$1 code=$2; shift 2
    "$reader" "$@" >"$work/out" 2>"$work/err"
    local got=$?
    check "$d (exit)" "$code" "$got"
    [ -s "$work/err" ] || { echo "FAIL: $d: no message"; fail=1; }
}
expect_exit "usage" 1 --profile "$work/Kavoren.ini"
expect_exit "unknown option" 1 --frobnicate "$examples/small.bmp"
expect_exit "option without its value" 1 "$examples/small.bmp" --area
expect_exit "no profile" 2 --profile "$work/none.ini" "$examples/small.bmp"
expect_exit "no area" 3 --profile "$work/Kavoren.ini" --area Nowhere "$examples/small.bmp"
printf '[ENDDATA]\r\nAREA=A\r\n[認識エリアA]\r\nCHRGROP= 4\r\n' | iconv -f UTF-8 -t CP932 > "$work/empty.ini"
expect_exit "empty group" 4 --profile "$work/empty.ini" "$examples/small.bmp"
expect_exit "a folder as profile" 2 --profile "$work" "$examples/small.bmp"
printf '[ENDDATA]\r\nCSV=True\r\n' > "$work/noarea.ini"
expect_exit "no current area" 3 --profile "$work/noarea.ini" "$examples/small.bmp"
printf '[ENDDATA]\r\nAREA=A\r\n[認識エリアA]\r\nCHRGROP=1e10\r\n' | iconv -f UTF-8 -t CP932 > "$work/huge.ini"
expect_exit "group number out of range" 4 --profile "$work/huge.ini" "$examples/small.bmp"
echo "not an image" > "$work/bad.png"
expect_exit "bad image" 5 --profile "$work/Kavoren.ini" "$work/bad.png"
# A skipped template is warned about and the rest still reads.
sed '/^\[G0ChrDat9\]/,/^Y=/s/^X=6/X=31/' "$work/Kavoren.ini" > "$work/wide.ini"
out=$("$reader" --profile "$work/wide.ini" "$examples/small.bmp" 2>"$work/err")
grep -q "skipped" "$work/err" || { echo "FAIL: no warning for a skipped template"; fail=1; }
check "read with skipped templates" "-0.5" "$out"

# A character missing from the group: the reading is printed as it is, the
# warning names the image and the unread columns, and the exit code is 6
# once every image is read; another error keeps its own code.
sed 's/^G0ALLCHR=\(.*\)\\\\\.\\\\\(.*\)$/G0ALLCHR=\1\\\\\2/' "$work/Kavoren.ini" > "$work/nodot.ini"
grep -q '\\\\\.' "$work/nodot.ini" && { echo "FAIL: the dot is still in the group"; fail=1; }
out=$("$reader" --profile "$work/nodot.ini" "$examples/counter.png" "$examples/position.ppm" 2>"$work/err")
check "incomplete reading (exit)" 6 $?
check "incomplete reading printed as read" "$(printf '1234567890\n1234,-56')" "$out"
grep -q "warning: $examples/position.ppm: incomplete reading \"1234,-56\": unread ink at column" "$work/err" \
    || { echo "FAIL: warning [$(cat "$work/err")]"; fail=1; }
check "one warning" 1 "$(grep -c warning "$work/err")"
# Both dots of "12.34,-5.6" unread.
json=$("$reader" --profile "$work/nodot.ini" --format json "$examples/counter.png" "$examples/position.ppm" 2>/dev/null)
check "JSON of a complete reading" '{"image":"'"$examples"'/counter.png","area":"Counter","reading":"1234567890","complete":true,"unread":[]}' \
      "$(echo "$json" | head -1)"
[[ $(echo "$json" | tail -1) =~ \"reading\":\"1234,-56\",\"complete\":false,\"unread\":\[\[[0-9]+,[0-9]+\],\[[0-9]+,[0-9]+\]\]\}$ ]] \
    || { echo "FAIL: JSON of an incomplete reading: $json"; fail=1; }
"$reader" --profile "$work/nodot.ini" "$examples/position.ppm" "$work/bad.png" >/dev/null 2>&1
check "a bad image comes first (exit)" 5 $?
"$reader" --profile "$work/Kavoren.ini" "$examples/position.ppm" "$examples/small.bmp" >/dev/null 2>"$work/err"
check "complete readings (exit)" 0 $?
check "complete readings warn of nothing" "" "$(cat "$work/err")"

check "profile untouched" "$before" "$(sha256sum < "$work/Kavoren.ini")"
exit $fail
