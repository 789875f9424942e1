#!/usr/bin/env bash
# Japanese input through a real input method, fcitx5 with mozc, on a private
# X server and D-Bus session. Romaji typed into the answer box are converted
# with Space; the conversion window stands at the box's cursor; the Enter that
# confirms the conversion belongs to the input method, and only the next Enter
# submits, so the answer is judged once and judged right.
#
# mozc's server refuses to run as root: as root the script stages what it
# needs in a folder anyone can read and runs itself again as an unprivileged
# user with a scratch home.
set -euo pipefail
PLAYER=sumiraku-e2e

if [ -z "${SUMIRAKU_IME_STAGED:-}" ]; then
    source "$(dirname "$0")/needs.sh"
    need_packages "$2" fcitx5 fcitx5-mozc fcitx5-frontend-qt6 dbus-x11 xvfb xdotool x11-utils
    if [ "$(id -u)" = 0 ]; then
        id -u "$PLAYER" >/dev/null 2>&1 \
            || useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$PLAYER"
        stage="$(mktemp -d)"
        trap 'rm -rf "$stage"' EXIT
        mkdir -p "$stage/data" "$stage/tests/e2e"
        cp "$1" "$(dirname "$1")/RvHelp.chm" "$stage/"
        cp "$2"/data/*.txt "$stage/data/"
        cp "$2/tests/e2e/lib.sh" "$0" "$stage/tests/e2e/"
        chmod -R a+rX "$stage"
        status=0
        runuser -u "$PLAYER" -- env -i PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 SUMIRAKU_IME_STAGED=1 \
            bash "$stage/tests/e2e/$(basename "$0")" "$stage/$(basename "$1")" "$stage" || status=$?
        exit $status
    fi
fi

# A D-Bus session of our own, never the desktop's, where fcitx5 may already run.
if [ -z "${SUMIRAKU_IME_BUS:-}" ]; then
    SUMIRAKU_IME_STAGED=1 SUMIRAKU_IME_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi

source "$(dirname "$0")/lib.sh" "$@"
FCITX_PID=""
export HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XMODIFIERS GTK_IM_MODULE
export QT_IM_MODULE=fcitx

stop_ime() {
    [ -n "$FCITX_PID" ] && kill "$FCITX_PID" 2>/dev/null || true
    # fcitx5 starts mozc's server detached; end only the one of this home.
    local pid
    for pid in $(pgrep -u "$(id -u)" -x mozc_server || true); do
        tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | grep -qx "HOME=$HOME" && kill "$pid" 2>/dev/null || true
    done
    cleanup
}
trap stop_ime EXIT

# mozc is the default input method and is on in every new input context.
mkdir -p "$HOME/.config/fcitx5"
cat > "$HOME/.config/fcitx5/profile" <<'EOF'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
EOF
cat > "$HOME/.config/fcitx5/config" <<'EOF'
[Behavior]
ActiveByDefault=True
EOF

start_x
fcitx5 > "$WORK/fcitx5.log" 2>&1 &
FCITX_PID=$!
for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 2>/dev/null | grep -q 'boolean true' && break
    sleep 0.1
done
[ "$(fcitx5-remote 2>/dev/null)" != "" ] || fail "fcitx5 did not come up: $(tail -5 "$WORK/fcitx5.log")"

seed_play_folder
write_sjis 設定.txt '10,1,"0:隠さない"'
write_sjis 辞書.txt '一石二鳥'
start_app

# Where the answer box stands on the screen: the window's origin plus the
# box's place in the design (Frame1 at 9,87; the box at 330,75, 136 × 27).
read -r wx wy < <(xwininfo -id "$WID" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x, y}')
box_left=$((wx + 339)); box_right=$((wx + 339 + 136)); box_bottom=$((wy + 162 + 27))

# fcitx5's one popup window: prints "x y" while it is shown, nothing otherwise.
input_window() {
    xwininfo -name 'Fcitx5 Input Window' 2>/dev/null | awk '
        /Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Map State: IsViewable/{v=1}
        END{if (v) print x, y}'
}

# Before the game: the list of conversions opens at the box's cursor.
click_at 400 175
[ "$(fcitx5-remote -n)" = mozc ] || fail "mozc is not the input method of the box"
xdotool type --delay 60 issekinichou
xdotool key space space
sleep 0.5
read -r cx cy < <(input_window) || fail "no conversion window after two Spaces"
[ "$cx" -ge "$((box_left - 4))" ] && [ "$cx" -le "$box_right" ] \
    && [ "$cy" -ge "$((box_bottom - 4))" ] && [ "$cy" -le "$((box_bottom + 12))" ] \
    || fail "conversion window at $cx,$cy; the box spans x $box_left-$box_right, bottom $box_bottom"
xdotool key Escape Escape    # back to romaji, then nothing
sleep 0.3
[ -z "$(input_window)" ] || fail "conversion window stayed after Escape"

click_at 373 40              # スタート
sleep 4                      # the countdown: three ticks, at most 3 s; the box has the focus
xdotool type --delay 60 issekinichou
xdotool key space
sleep 0.3
xdotool key Return           # confirms the conversion
sleep 0.3
xdotool key Return           # submits
sleep 0.3
if xdotool search --onlyvisible --name '^間違い$' >/dev/null 2>&1; then
    fail "an Enter was judged wrong"
fi

record="$(saved_history)"
pattern='^"[0-9/]{10}","[0-9:]{8}",1,1,0,"100.0%","0.40/秒","10秒","0"'$'\r''$'
[[ "$record" =~ $pattern ]] || fail "history holds: $record"

click_at 593 40
[ "$(wait_exit)" = 0 ] || fail "did not end cleanly"
echo "conversion window at $cx,$cy under the box; one right answer saved: $record"
