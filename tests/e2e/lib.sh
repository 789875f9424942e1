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

# Usage: start_x [WIDTHxHEIGHT], 1024x768 unless a scaled window needs more.
start_x() {
    local n size="${1:-1024x768}"
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        # Another test may have taken the number meanwhile: only our own server counts.
        for _ in $(seq 50); do
            kill -0 "$XVFB_PID" 2>/dev/null || break
            if xdpyinfo >/dev/null 2>&1; then
                sleep 0.3
                kill -0 "$XVFB_PID" 2>/dev/null && return 0
                break
            fi
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null || true
    done
    fail "no X server"
}

# The three data files of a first run and the help file, as tools/run.sh seeds them.
seed_play_folder() {
    mkdir -p "$WORK/play"
    cp "$SOURCE_DIR/data/設定.txt" "$SOURCE_DIR/data/辞書.txt" "$SOURCE_DIR/data/履歴.txt" "$WORK/play/"
    cp "$(dirname "$SUMIRAKU_BIN")/RvHelp.chm" "$WORK/play/"
}

# Writes UTF-8 text into a play-folder file as code page 932 with CR LF line ends.
write_sjis() {
    printf '%s' "$2" | sed 's/$/\r/' | iconv -f UTF-8 -t CP932 > "$WORK/play/$1"
}

# Fails unless a play-folder file holds exactly this UTF-8 text (CR LF lines) in code page 932.
expect_sjis() {
    local want
    want="$(printf '%s\n' "$2" | sed 's/$/\r/' | iconv -f UTF-8 -t CP932 | od -An -tx1)"
    local have
    have="$(od -An -tx1 < "$WORK/play/$1")"
    [ "$want" = "$have" ] || fail "$1 holds $(iconv -f CP932 -t UTF-8 < "$WORK/play/$1"), expected $2"
}

# Waits up to 12 s for the first record in the history file; prints the file as UTF-8.
saved_history() {
    for _ in $(seq 120); do
        [ -s "$WORK/play/履歴.txt" ] && break
        sleep 0.1
    done
    iconv -f CP932 -t UTF-8 < "$WORK/play/履歴.txt"
}

# Waits until a window with this exact title shows; prints its id.
wait_window() {
    local id=""
    for _ in $(seq 100); do
        id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)"
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    fail "no window titled $1"
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
