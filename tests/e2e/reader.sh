#!/usr/bin/env bash
# tirelma-read on a real X server: --screen reads what a window shows at the
# area, --watch logs each change of the digits with a local time stamp and
# ends cleanly on SIGINT, SIGTERM, --count and a closed pipe; clear messages
# and exit codes without a display or with the area off every screen; the
# profile is never written.
source "$(dirname "$0")/lib.sh"
e2e_start
reader=$E2E_BUILD/tools/tirelma-read
e2e_profile 950 640
profile=$W/bin/Kavoren.ini
before=$(sha256sum < "$profile")
e2e_show counter.png 950 640

expect_eq "one reading" "1234567890" "$("$reader" --profile "$profile" --screen 2>/dev/null)"
json=$(TZ=JST-9 "$reader" --profile "$profile" --screen --format json 2>/dev/null)
[[ $json =~ ^\{\"time\":\"[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}\+09:00\",\"area\":\"Counter\",\"reading\":\"1234567890\",\"complete\":true,\"unread\":\[\]\}$ ]] \
    && e2e_log "ok: json line with the local time" || fail "json line: $json"
expect_eq "list of areas" "$(printf 'Counter\t950\t640\t76\t11\t0\tDigits\t1')" \
    "$("$reader" --profile "$profile" --list-areas --format tsv 2>/dev/null)"

lines_of() { [ -f "$1" ] && wc -l < "$1" || echo 0; }
has_lines() { [ "$(lines_of "$1")" -ge "$2" ]; }

# --watch: a line for each change of the digits, none while they stay. The
# fixture changes its picture on SIGUSR1, from one frame to the next.
e2e_show counter.png 950 640 76x11 small.bmp position.ppm
expect_eq "the digits before the watch" "1234567890" "$("$reader" --profile "$profile" --screen 2>/dev/null)"
"$reader" --profile "$profile" --screen --watch 0.2 --format tsv >"$W/watch.tsv" 2>"$W/watch.err" &
watch=$!
E2E_PIDS+=($watch)
wait_for 100 has_lines "$W/watch.tsv" 1 || fail "no first line from --watch"
sleep 1 # five readings of the same digits
kill -USR1 "$FIXTURE_PID"
wait_for 100 has_lines "$W/watch.tsv" 2 || fail "no line for the changed digits"
kill -USR1 "$FIXTURE_PID"
wait_for 100 has_lines "$W/watch.tsv" 3 || fail "no line for the next change"
sleep 0.6
kill -INT "$watch"
wait "$watch"
expect_eq "SIGINT ends the watch cleanly" 0 $?
expect_eq "one line per change" "$(printf '1234567890\n-0.5\n12.34,-5.6')" "$(cut -f3 "$W/watch.tsv")"
expect_eq "the area on every line" "Counter Counter Counter" "$(cut -f2 "$W/watch.tsv" | xargs)"
bad_stamps=$(cut -f1 "$W/watch.tsv" | grep -cvE '^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}[+-][0-9]{2}:[0-9]{2}$')
expect_eq "a time stamp on every line" 0 "$bad_stamps"
[ "$(cut -f1 "$W/watch.tsv" | sort -u | wc -l)" = 3 ] || fail "time stamps do not advance"
expect_eq "nothing on stderr" "" "$(cat "$W/watch.err")"
# --snap as the main window's 指定刻みに変更: the delimiter here is "/", so the
# reading is one number, rounded to the step 0.5.
expect_eq "--snap on the screen" "12.5" "$("$reader" --profile "$profile" --screen --snap 2>/dev/null)"

# --count: ends by itself after that many lines (the fixture is back at the
# counter after one more change).
timeout 60 "$reader" --profile "$profile" --screen --watch 0.1 --count 2 >"$W/count.txt" 2>/dev/null &
count=$!
wait_for 100 has_lines "$W/count.txt" 1 || fail "no first line from --count"
kill -USR1 "$FIXTURE_PID"
wait "$count"
expect_eq "--count ends with 0" 0 $?
expect_eq "--count lines" "12.34,-5.6 1234567890" "$(cut -d' ' -f2 "$W/count.txt" | xargs)"

# SIGTERM, and a reader of the output that goes away while nothing changes.
"$reader" --profile "$profile" --screen --watch 0.2 >"$W/term.txt" 2>&1 &
term=$!
wait_for 100 has_lines "$W/term.txt" 1 || fail "no line from the watch to end"
kill -TERM "$term"
wait "$term"
expect_eq "SIGTERM ends the watch cleanly" 0 $?
timeout 60 bash -c '"$1" --profile "$2" --screen --watch 0.2 2>/dev/null | head -1 >/dev/null; echo "${PIPESTATUS[0]}"' \
    _ "$reader" "$profile" >"$W/pipe.txt"
expect_eq "a closed pipe ends the watch cleanly" 0 "$(cat "$W/pipe.txt")"

# Clear messages and exit codes.
expect_exit() { # what, code, message pattern, command...
    local what=$1 code=$2 pattern=$3; shift 3
    "$@" >/dev/null 2>"$W/err"
    expect_eq "$what (exit)" "$code" $?
    grep -q -- "$pattern" "$W/err" || fail "$what: message [$(cat "$W/err")]"
}
expect_exit "no display" 5 "DISPLAY is not set" env -u DISPLAY "$reader" --profile "$profile" --screen
expect_exit "a display that is not there" 5 "cannot open the X display" \
    env DISPLAY=:9999 "$reader" --profile "$profile" --screen
expect_exit "--watch too fast" 1 "from 0.1" "$reader" --profile "$profile" --screen --watch 0.05
expect_exit "--watch without --screen" 1 "needs --screen" "$reader" --profile "$profile" --watch 1
cp "$profile" "$W/off.ini"
sed -i 's/^LEFT=.*/LEFT=5000\r/' "$W/off.ini"
expect_exit "area off every screen" 5 "outside every screen" "$reader" --profile "$W/off.ini" --screen

# Incomplete readings of the screen: "." missing from the group, and the
# area half off the right edge of the screen.
e2e_show position.ppm 950 640 76x11
sed 's/^G0ALLCHR=\(.*\)\\\\\.\\\\\(.*\)$/G0ALLCHR=\1\\\\\2/' "$profile" > "$W/nodot.ini"
expect_exit "a character missing from the group" 6 'incomplete reading "1234,-56": unread ink' \
    "$reader" --profile "$W/nodot.ini" --screen
[[ $("$reader" --profile "$W/nodot.ini" --screen --format json 2>/dev/null) =~ \"reading\":\"1234,-56\",\"complete\":false,\"unread\":\[\[[0-9]+,[0-9]+\],\[[0-9]+,[0-9]+\]\]\}$ ]] \
    && e2e_log "ok: JSON of an incomplete screen reading" || fail "JSON of an incomplete screen reading"
sed 's/^LEFT=.*/LEFT=1240\r/' "$profile" > "$W/half.ini"
expect_exit "an area half off the screen" 6 "part of the area lies off every screen" \
    "$reader" --profile "$W/half.ini" --screen
expect_exit "no profile" 2 "no profile" "$reader" --profile "$W/none.ini" --screen

expect_eq "profile untouched" "$before" "$(sha256sum < "$profile")"
exit $TEST_FAILED
