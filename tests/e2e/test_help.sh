#!/usr/bin/env bash
# Help opens in a window of its own; End closes it and ends the program with 0.
source "$(dirname "$0")/lib.sh" "$@"

start_x
seed_play_folder
start_app

click_at 538 40              # ヘルプ
help="$(wait_window 'SUMIRAKU ヘルプ')"
[ -n "$help" ] || fail "no help window"

xdotool windowraise "$WID"   # no window manager: bring the main window back on top
click_at 593 40              # 終了
status="$(wait_exit)"
[ "$status" = 0 ] || fail "exit status $status"
xdotool search --onlyvisible --name 'SUMIRAKU' >/dev/null 2>&1 && fail "a window is left"
echo "help opened, End closed everything with status 0"
