#!/usr/bin/env bash
# A 10-second game as a player plays it: Start, the idiom typed in kanji, Enter,
# a wrong answer and its box, then the automatically saved record.
source "$(dirname "$0")/lib.sh" "$@"

start_x
seed_play_folder
write_sjis 設定.txt '10,1,"0:隠さない"'
write_sjis 辞書.txt '一石二鳥'
start_app

click_at 373 40              # スタート
sleep 4                      # the countdown: three ticks, the last at most 3 s after the click
# xdotool types a kanji by remapping a spare key; a slower pace lets the
# program take in each new keymap before the key arrives.
xdotool type --delay 150 '一石二鳥'
sleep 0.3
xdotool key Return
sleep 0.3
xdotool search --onlyvisible --name '^間違い$' >/dev/null 2>&1 && fail "the idiom typed in kanji was judged wrong"
xdotool type --delay 150 'x'
sleep 0.3
xdotool key Return
wait_window 間違い >/dev/null
xdotool key Return           # the box has the focus
sleep 0.3

# The game ends within a second of its tenth; auto-save appends the record.
record="$(saved_history)"
pattern='^"[0-9]{4}/[0-9]{2}/[0-9]{2}","[0-9]{2}:[0-9]{2}:[0-9]{2}",2,1,1,"50.0%","0.40/秒","10秒","0"'$'\r''$'
[[ "$record" =~ $pattern ]] || fail "history holds: $record"
[ "$(wc -l < "$WORK/play/履歴.txt")" = 1 ] || fail "more than one record"

click_at 593 40
[ "$(wait_exit)" = 0 ] || fail "did not end cleanly"
echo "saved: $record"
