# Shared by the end-to-end scripts: a private X server, a scratch play folder
# seeded like a player's, and xdotool helpers that drive the window.
# Usage: [NEEDS="package..."] source "$(dirname "$0")/lib.sh" PROGRAM SOURCE-DIR HELP-FILE
set -euo pipefail
SUMIRAKU_BIN="$1" SOURCE_DIR="$2" HELP_FILE="$3" XVFB_PID="" APP_PID="" WID="" BACKGROUND=()
fail() { echo "FAIL: $*" >&2; exit 1; }
for p in xvfb xdotool x11-utils ${NEEDS:-}; do   # tools/deps.sh test installs them all
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || { echo "SKIP: no $p" >&2; exit 77; }
done

WORK="$(mktemp -d)"
cleanup() {
    kill $APP_PID "${BACKGROUND[@]}" $XVFB_PID 2>/dev/null || true
    wait || true   # for them all to let go of $WORK
    rm -rf "$WORK"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$WORK/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Usage: start_x [WIDTHxHEIGHT]. Without -noreset the server resets as its last
# client leaves and refuses whoever connects meanwhile.
start_x() {
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp -noreset 3>"$WORK/display" 2>/dev/null &
    XVFB_PID=$!
    for _ in $(seq 100); do [ -s "$WORK/display" ] && break || sleep 0.1; done
    export DISPLAY=":$(cat "$WORK/display")"
    xdpyinfo >/dev/null 2>&1 || fail "no X server"
}

# UTF-8 text as code page 932 with CR LF line ends, as the program's files hold it.
sjis() { printf '%s\n' "$1" | sed 's/$/\r/' | iconv -f UTF-8 -t CP932; }
expect_sjis() { cmp -s <(sjis "$2") "$WORK/play/$1" || fail "$1 holds $(iconv -f CP932 -t UTF-8 < "$WORK/play/$1")"; }

# A first run's play folder, as tools/run.sh seeds it, with these settings and this dictionary.
seed_play_folder() {
    mkdir -p "$WORK/play" && cp "$SOURCE_DIR/data/履歴.txt" "$HELP_FILE" "$WORK/play/"
    sjis "$1" > "$WORK/play/設定.txt" && sjis "$2" > "$WORK/play/辞書.txt"
}

# Waits up to 12 s for something in this file of the play folder.
wait_file() { for _ in $(seq 120); do [ -s "$WORK/play/$1" ] && return || sleep 0.1; done; }

# Waits until a window with this exact title shows; prints its id.
wait_window() {
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "^$1\$" > "$WORK/found" 2>/dev/null && { head -n1 "$WORK/found"; return; } || sleep 0.1
    done
    fail "no window titled $1"
}

# Starts the program (or COMMAND in DIR) and finds its window.
start_app() {
    (cd "${1:-$WORK/play}" && exec env -u QT_QPA_PLATFORM "${2:-$SUMIRAKU_BIN}") &
    APP_PID=$!
    WID="$(wait_window SUMIRAKU)"
}

size_of() { xwininfo -id "$WID" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}'; }

# Window-relative click, in pixels of the design times the scale.
click_at() { xdotool mousemove --window "$WID" "$1" "$2" click 1 && sleep 0.3; }

# Clicks End (at X Y when scaled) and fails unless the program ends with status 0.
end_app() {
    click_at "${1:-593}" "${2:-40}"
    timeout 10 tail --pid="$APP_PID" -f /dev/null || fail "End left the program running"
    wait "$APP_PID" || fail "End gave exit status $?"
    APP_PID=""
}
