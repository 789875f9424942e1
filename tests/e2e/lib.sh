# Shared by the end-to-end scripts: a private X server, a scratch play folder
# seeded like a player's, and helpers to drive the window with xdotool.
# Usage in a script: source "$(dirname "$0")/lib.sh" "$@"

set -euo pipefail
SUMIRAKU_BIN="$1"
SOURCE_DIR="$2"
WORK="$(mktemp -d)"
XVFB_PID=""
APP_PID=""

cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

start_x() {
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do
            xdpyinfo >/dev/null 2>&1 && return 0
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null || true
    done
    fail "no X server"
}

# The three data files of a first run, or the ones given as name=bytes files.
seed_play_folder() {
    mkdir -p "$WORK/play"
    cp "$SOURCE_DIR/data/設定.txt" "$SOURCE_DIR/data/辞書.txt" "$SOURCE_DIR/data/履歴.txt" "$WORK/play/"
}

start_app() {
    (cd "$WORK/play" && exec env -u QT_QPA_PLATFORM "$SUMIRAKU_BIN") &
    APP_PID=$!
    WID="$(xdotool search --sync --onlyvisible --name '^SUMIRAKU$' | head -n1)"
    [ -n "$WID" ] || fail "window did not appear"
}

# Window-relative click, in logical pixels of the design.
click_at() {
    xdotool mousemove --window "$WID" "$1" "$2" click 1
    sleep 0.2
}

# Waits for the program to end and prints its exit status.
wait_exit() {
    local status=0
    for _ in $(seq 100); do
        kill -0 "$APP_PID" 2>/dev/null || break
        sleep 0.1
    done
    wait "$APP_PID" || status=$?
    APP_PID=""
    echo "$status"
}
