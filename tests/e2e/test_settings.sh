#!/usr/bin/env bash
# A player picks an entry in each settings control, with the mouse and with the
# keyboard; each pick rewrites the whole settings file at once.
source "$(dirname "$0")/lib.sh" "$@"

start_x
seed_play_folder
write_sjis 設定.txt '60,0,"2:ノーマル"'
start_app

# Play time: open the list with the mouse, step down one entry, take it.
click_at 132 130
xdotool key Down Return
sleep 0.3
expect_sjis 設定.txt '70,0,"2:ノーマル"'

# Auto-save: a click on the toggle.
click_at 164 131
expect_sjis 設定.txt '70,1,"2:ノーマル"'

# Play mode: into the box, then the arrow key picks the next entry.
click_at 200 175
xdotool key Down
sleep 0.3
expect_sjis 設定.txt '70,1,"3:ハード"'

# Typing alone writes nothing.
xdotool key ctrl+a
xdotool type 'X'
xdotool key Tab
sleep 0.3
expect_sjis 設定.txt '70,1,"3:ハード"'

click_at 593 40
[ "$(wait_exit)" = 0 ] || fail "did not end cleanly"
echo "settings picks written: $(iconv -f CP932 -t UTF-8 < "$WORK/play/設定.txt")"
