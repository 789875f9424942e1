#!/usr/bin/env bash
# The real program in a real X server: its window appears with the designed
# client area, and the End button closes it with status 0.
source "$(dirname "$0")/lib.sh" "$@"

start_x
seed_play_folder
start_app

geometry="$(xwininfo -id "$WID" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')"
[ "$geometry" = "631x452" ] || fail "client area is $geometry, expected 631x452"

click_at 593 40   # 終了
status="$(wait_exit)"
[ "$status" = 0 ] || fail "exit status $status"
echo "window 631x452 shown and ended with status 0"
