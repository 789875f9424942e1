#!/usr/bin/env bash
# What a screen reader finds: the program's accessibility tree read over
# AT-SPI from the running program, on a private X server and D-Bus session,
# through a whole game driven with xdotool (see accessibility_tree.py).
set -euo pipefail

if [ -z "${SUMIRAKU_A11Y_BUS:-}" ]; then
    source "$(dirname "$0")/needs.sh"
    need_packages "$2" at-spi2-core python3-pyatspi dbus-daemon xvfb xdotool x11-utils
    # A session bus of our own, never the desktop's.
    SUMIRAKU_A11Y_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi

source "$(dirname "$0")/lib.sh" "$@"
BUS_PID=""
stop_bus() {
    cleanup
    [ -n "$BUS_PID" ] && kill "$BUS_PID" 2>/dev/null || true
}
trap stop_bus EXIT
export XDG_RUNTIME_DIR="$WORK/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"

/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
BUS_PID=$!
start_x
seed_play_folder
write_sjis 設定.txt '10,0,"3:ハード"'
write_sjis 辞書.txt '一石二鳥'
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
start_app

# Debian's own python, where python3-pyatspi lives.
/usr/bin/python3 "$(dirname "$0")/accessibility_tree.py" "$WID" || fail "see above"

click_at 593 40
[ "$(wait_exit)" = 0 ] || fail "did not end cleanly"
