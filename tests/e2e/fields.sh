#!/usr/bin/env bash
# One press records a whole point: a read-out shows "X 12.500", "Y -3.250"
# and "Z 0.000" stacked; three areas lie over the numbers. In the editor the
# first is given the other two as 続けて読むエリア (checked and ordered in
# its dialog, by keyboard); in the output dialog CSV, the header line and the
# time stamp column are switched on. Alt then shows all three readings, each
# named, and Alt+W writes one row with three columns under a header;
# tirelma-read reads the same line from the screen.
# Optional argument: a Qt scale factor for the program.
source "$(dirname "$0")/lib.sh"
scale=${1:-1}
e2e_start
X0=950 Y0=600
e2e_profile $X0 $Y0
# Areas X, Y and Z over the numbers (14 pixels right of the letters, 15
# pixels apart), in the list after the demo's Counter; X is current.
{
    iconv -f CP932 -t UTF-8 "$W/bin/Kavoren.ini" |
        sed -e 's/^LIST0=Counter\r$/LIST0=Counter\r\nLIST1=X\r\nLIST2=Y\r\nLIST3=Z\r/' \
            -e 's/^AREA=.*/AREA=X\r/'
    for i in 0 1 2; do
        name=$(echo XYZ | cut -c$((i + 1)))
        printf '[認識エリア%s]\r\nCHRGROP= 0\r\nCOMMENT=\r\nLEFT=%d\r\nTOP=%d\r\nWIDTH=49\r\nHEIGHT=11\r\nBWLEVELT=128\r\n区切り=;\r\n' \
            "$name" $((X0 + 14)) $((Y0 + 15 * i))
    done
} | iconv -f UTF-8 -t CP932 >"$W/edit.ini"
mv "$W/edit.ini" "$W/bin/Kavoren.ini"
e2e_show xyz.png $X0 $Y0
export QT_SCALE_FACTOR=$scale
e2e_run_program 1
unset QT_SCALE_FACTOR
EDITOR="認識エリアとキャラクタ登録"

open_main_window
expect_eq "X alone before" "12.500" "$(text_box "$TIRELMA_PID" "認識結果")"

# The editor opens on X; 続けて読むエリア offers Counter, Y, Z: check Y and Z.
xdotool key alt+f
sleep 0.3
xdotool key a
focus_window "$TIRELMA_PID" "$EDITOR" || fail "no editor"
sleep 0.5
xdotool key alt+f
focus_window "$TIRELMA_PID" "続けて読むエリア" || fail "no dialog for the fields"
xdotool key Down space Down space
sleep 0.2
import -window root "$E2E_BUILD/e2e-fields-dialog-$scale.png"
xdotool key Return
sleep 0.5
expect_eq "stored fields" "FIELD0=Y FIELD1=Z" \
    "$(iconv -f CP932 -t UTF-8 "$W/bin/Kavoren.ini" | grep '^FIELD' | tr -d '\r' | tr '\n' ' ' | sed 's/ $//')"
focus_window "$TIRELMA_PID" "$EDITOR"
xdotool key alt+o
wait_for 100 main_window_open || fail "the main window did not come back"
focus_window "$TIRELMA_PID" '^Tirelma$'
wait_for 50 text_is "認識結果" "12.500;-3.250;0.000" ||
    fail "one press does not read all: $(text_box "$TIRELMA_PID" "認識結果")"

# Output: CSV, the header and the time stamp (Tab from the file name:
# ファイル指定, the option pair, 刻み, CSV書き込み, 見出し行, 日時).
xdotool key alt+f
sleep 0.3
xdotool key w
sleep 0.5
focus_window "$TIRELMA_PID" || fail "no output settings dialog"
xdotool key Tab Tab Tab Tab space Tab space Tab space
xdotool key Return
wait_for 50 main_window_open || fail "the main window did not come back"
focus_window "$TIRELMA_PID" '^Tirelma$'
wait_for 50 text_is "認識結果" "12.500;-3.250;0.000" || fail "not read again after the dialog"
texts=$(texts_of "$TIRELMA_PID")
for t in Y Z -3.250 0.000; do
    grep -qx -- "$t" <<<"$texts" || fail "field text $t not shown: $(tr '\n' '|' <<<"$texts")"
done
where_is "$TIRELMA_PID" "「Z」の画像" >/dev/null || fail "no picture of Z"
import -window root "$E2E_BUILD/e2e-fields-main-$scale.png"

xdotool key alt+w
wait_for 30 main_window_closed || fail "Alt+W did not close the window"
csv=$(result_file "$W/out.csv" | tr -d '\r')
expect_eq "header" "X,Y,Z,コメント,日時" "$(sed -n 1p <<<"$csv")"
row=$(sed -n 2p <<<"$csv")
[[ $row =~ ^12\.500,-3\.250,0\.000,,[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}$ ]] &&
    e2e_log "ok: one row, three columns: $row" || fail "row: $row"
expect_eq "lines" 2 "$(wc -l <<<"$csv")"

# The command-line reader: the same line, and each field in JSON.
reader="$E2E_BUILD/tools/tirelma-read"
expect_eq "tirelma-read" "12.500;-3.250;0.000" "$("$reader" --profile "$W/bin/Kavoren.ini" --screen)"
json=$("$reader" --profile "$W/bin/Kavoren.ini" --screen --format json)
grep -q '"fields":\[{"area":"X","reading":"12.500"' <<<"$json" &&
    grep -q '{"area":"Z","reading":"0.000","complete":true' <<<"$json" || fail "json: $json"
exit $TEST_FAILED
