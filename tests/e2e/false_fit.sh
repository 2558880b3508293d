#!/usr/bin/env bash
# A tight cut flagged while teaching: the line "0123456789-." taught in one
# step reads back; then "-" is cut again as tightly as it goes, its ink and
# one white row below, and registered by hand. The editor's reading check at
# once reads the line as the main window would, finds the "-" inside other
# glyphs, says so and marks where.
source "$(dirname "$0")/lib.sh"
e2e_start
LINE="0123456789-."
read -r IMG_W IMG_H < <(python3 "$E2E_SOURCE/tests/e2e/fixture/line.py" "$LINE" 1 "$W/line.ppm")
X0=60 Y0=720
e2e_show "$(realpath --relative-to="$E2E_SOURCE/examples" "$W/line.ppm")" $X0 $Y0
e2e_run_program 1
EDITOR="認識エリアとキャラクタ登録"
check() { texts_of "$TIRELMA_PID" | grep -A3 "^読み取り結果："; }

open_editor
first_area_and_group "Line" "Digits"
capture_by_drawing $X0 $Y0 "$IMG_W" "$IMG_H"

click_on "$TIRELMA_PID" "1行の文字："
xdotool type -- "$LINE"
click_on "$TIRELMA_PID" "1行まとめて記録"
agrees() { check | grep -qx "1行の文字と一致しています。"; }
wait_for 30 agrees || fail "the taught line does not read back: $(check)"

# The "-" of line.py: font columns 2 + 10 x 6 on, its ink on row 4 + 3.
read -r BX BY _ _ < <(where_is "$TIRELMA_PID" "拡大画像")
drag $((BX + 622)) $((BY + 72)) $((BX + 648)) $((BY + 88))
click_on "$TIRELMA_PID" "キャラクタ"
xdotool type -- "-"
click_on "$TIRELMA_PID" "キャラクタ記録"
flagged() { check | grep -q "^1行の文字と違います: .*余分な「-」"; }
wait_for 30 flagged
import -window root "$E2E_BUILD/e2e-false-fit.png"
flagged || fail "no difference flagged: $(check)"
check | grep -q "^「-」が「.*の一部にも当てはまっています。" || fail "the false fits are not explained: $(check)"
reading=$(check | sed -n 's/^読み取り結果：//p')
[ "$reading" != "$LINE" ] && [ -n "$reading" ] || fail "reading: $reading"
e2e_log "read with the tight dash: $reading"
exit $TEST_FAILED
