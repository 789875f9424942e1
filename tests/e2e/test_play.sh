#!/usr/bin/env bash
# The real program as a player meets it, with a real input method (fcitx5 and
# mozc) and screen reader bridge (AT-SPI). Scaled to 150 % and 200 %, the window
# grows by the factor and the banner comes from its double-size artwork (the
# screenshots stay here). At 100 %: settings picked with mouse and keys rewrite
# the file; romaji converted with Space list their kanji at the answer box's
# cursor; the bridge names and describes the controls in Japanese; in a game
# the Enter that confirms a conversion belongs to the input method and only the
# next one answers, and a wrong answer brings its box; the game saves itself;
# help opens in a window of its own; End closes everything with status 0.
# The context menu opens the misses window and the chart, Esc closes them (what
# a game leaves in 苦手.txt the window scripts check).
# Under a light and a dark desktop theme, an idiom with strokes on every edge
# shows whole in its cells, dark on light (the screenshots stay here too).
NEEDS="imagemagick fcitx5 fcitx5-mozc fcitx5-frontend-qt6 dbus-x11 at-spi2-core python3-pyatspi
       qt6-gtk-platformtheme gnome-themes-extra"
source "$(dirname "$0")/lib.sh" "$@"

# mozc's server refuses root: root stages what the script needs where anyone can
# read it and runs the script again as an unprivileged player.
if [ "$(id -u)" = 0 ]; then
    id -u sumiraku-e2e >/dev/null 2>&1 \
        || useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin sumiraku-e2e
    stage="$WORK/stage"
    mkdir -p "$stage/art" && cp "$1" "${1%/*}/sumiraku_chart.so" "$3" "$stage/" && cp -r "$2/data" "$2/tests" "$stage/"
    cp -r "$2/art/rendered" "$stage/art/" && chmod -R a+rX "$WORK" && chmod a+w "$stage"
    runuser -u sumiraku-e2e -- env -i PATH="$PATH" LANG=C.UTF-8 SHOTS="$stage" \
        bash "$stage/tests/e2e/${0##*/}" "$stage/${1##*/}" "$stage" "$stage/${3##*/}"
    cp "$stage"/screenshot-*.png .
    exit 0
fi
# A D-Bus session of our own, never the desktop's, where fcitx5 may already run.
[ -n "${SUMIRAKU_OWN_BUS:-}" ] || { cleanup; unset XDG_RUNTIME_DIR; SUMIRAKU_OWN_BUS=1 exec dbus-run-session -- bash "$0" "$@"; }
export HOME="$WORK/home" QT_IM_MODULE=fcitx QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XMODIFIERS GTK_IM_MODULE
# fcitx5 starts mozc's server detached: end the one of this home too, by its id.
trap 'for pid in $(pgrep -u "$(id -u)" -x mozc_server); do
    grep -qxz "HOME=$HOME" "/proc/$pid/environ" && kill "$pid"; done; cleanup' EXIT

# mozc is the input method of the one group, on in every new input context.
mkdir -p "$HOME/.config/fcitx5"
printf '%s\n' '[Groups/0]' 'Name=Default' 'Default Layout=us' 'DefaultIM=mozc' '[Groups/0/Items/0]' \
    'Name=keyboard-us' '[Groups/0/Items/1]' 'Name=mozc' '[GroupOrder]' '0=Default' > "$HOME/.config/fcitx5/profile"
printf '[Behavior]\nActiveByDefault=True\n' > "$HOME/.config/fcitx5/config"
start_x 1400x1000
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
BACKGROUND+=($!)
fcitx5 > "$WORK/fcitx5.log" 2>&1 &
BACKGROUND+=($!)
for _ in $(seq 100); do   # asked of the bus, which would otherwise start another fcitx5
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
        string:org.fcitx.Fcitx5 2>/dev/null | grep -q 'boolean true' && break || sleep 0.1
done
# Each cell's inside, 3 px in from its frame: its ink must not touch that
# edge, and its darkest and lightest grey must contrast at least 4.5 : 1.
for theme in Adwaita Adwaita:dark; do
    seed_play_folder '60,0,"0:隠さない"' '畳固鬱田'
    GTK_THEME="$theme" QT_QPA_PLATFORMTHEME=gtk3 start_app
    click_at 373 40 && sleep 4   # スタート, then the countdown
    shot="${SHOTS:-.}/screenshot-$([ "$theme" = Adwaita ] && echo light || echo dark).png"
    /usr/bin/import -window "$WID" "$shot"
    for x in 62 167 272 377; do
        read -r box lo hi < <(/usr/bin/convert "$shot" -crop "94x95+$x+195" +repage -colorspace gray \
            -format '%@ %[fx:minima] %[fx:maxima]\n' info:)
        IFS='x+' read -r w h l t <<< "$box"
        [ "$l" -gt 0 ] && [ "$t" -gt 0 ] && [ $((l + w)) -lt 94 ] && [ $((t + h)) -lt 95 ] \
            || fail "$theme: the cell at $x has its ink at $box of 94x95"
        awk -v lo="$lo" -v hi="$hi" 'BEGIN { exit !((hi ^ 2.2 + 0.05) / (lo ^ 2.2 + 0.05) >= 4.5) }' \
            || fail "$theme: the cell at $x shows greys $lo to $hi"
    done
    end_app
done
seed_play_folder '20,0,"2:ノーマル"' '一石二鳥'

# How crisp a picture is: the spread of its Laplacian, which blowing up flattens.
crispness() { /usr/bin/convert "$@" -colorspace gray -define convolve:scale='!' -morphology Convolve Laplacian:0 -format '%[fx:standard_deviation]' info:; }
for percent in 150 200; do
    QT_SCALE_FACTOR="$((percent / 100)).$((percent % 100))" start_app
    scaled() { echo "$((($1 * percent + 99) / 100))"; }
    [ "$(size_of)" = "$(scaled 631)x$(scaled 452)" ] || fail "at $percent % the window is $(size_of)"
    shot="${SHOTS:-.}/screenshot-$percent.png" banner="$((324 * percent / 100))x$((63 * percent / 100))"
    for _ in $(seq 50); do   # a window that shows may not be painted yet
        /usr/bin/import -window "$WID" "$shot"
        shown="$(crispness "$shot" -crop "$banner+$((percent / 10))+$((percent / 10))" +repage)"   # at 10,10
        awk -v s="$shown" 'BEGIN { exit !(s > 0) }' && break || sleep 0.2
    done
    sharp="$(crispness "$SOURCE_DIR/art/rendered/banner@2x.gif" -resize "$banner!")"
    blown="$(crispness "$SOURCE_DIR/art/rendered/banner.gif" -resize "$banner!")"
    awk -v s="$shown" -v a="$sharp" -v b="$blown" 'BEGIN { exit !((s - a) ^ 2 < (s - b) ^ 2) }' \
        || fail "at $percent % the banner's crispness is $shown: the large artwork's $sharp, the small one's blown up $blown"
    end_app "$((593 * percent / 100))" "$((40 * percent / 100))"
done

start_app
[ "$(size_of)" = 631x452 ] || fail "the window is $(size_of)"
click_at 132 130   # opens the play-time list
xdotool key Up Return
sleep 0.3
expect_sjis 設定.txt '10,0,"2:ノーマル"'
click_at 164 131   # auto-save
expect_sjis 設定.txt '10,1,"2:ノーマル"'
click_at 200 175   # into the play-mode box: the arrow picks the next entry
xdotool key Down
sleep 0.3
expect_sjis 設定.txt '10,1,"3:ハード"'

popup() {   # where fcitx5's one popup shows, from the window's corner; nothing while it is hidden
    { xwininfo -id "$WID"; xwininfo -name 'Fcitx5 Input Window'; } 2>/dev/null | awk '/Absolute upper-left X/{x[n]=$4}
        /Absolute upper-left Y/{y[n++]=$4} /IsViewable/{v++} END{if (v == 2) print x[1] - x[0], y[1] - y[0]}'
}
click_at 400 175   # the answer box
[ "$(fcitx5-remote -n)" = mozc ] || fail "mozc is not the input method of the box"
xdotool type --delay 60 issekinichou
xdotool key space space
sleep 0.5
read -r cx cy < <(popup) || fail "no list of conversions after two Spaces"
# Under the box's left part: Frame1 at 9,87 and the box in it at 330,75, 136 × 27.
[ "$cx" -ge 335 ] && [ "$cx" -le 475 ] && [ "$cy" -ge 185 ] && [ "$cy" -le 201 ] || fail "the conversions listed at $cx,$cy"
xdotool key Escape Escape   # back to romaji, then nothing
sleep 0.3
[ -z "$(popup)" ] || fail "the list of conversions stayed after Escape"

/usr/bin/python3 - <<'EOF' || fail "see above"   # Debian's own, where python3-pyatspi lives
import pyatspi
def walk(node):
    yield node
    for child in node:
        yield from walk(child)
window = next(a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "sumiraku")[0]
nodes = {(n.getRoleName(), n.name): n for n in walk(window)}
assert window.name == "SUMIRAKU" and nodes["push button", "スタート"].description == "ゲームをスタートします"
assert all(("label", f"問題 {i}: 隠れています") in nodes for i in range(1, 5))
relations = nodes["combo box", "10"].getRelationSet()
assert [r.getTarget(0).name for r in relations if r.getRelationType() == pyatspi.RELATION_LABELLED_BY] == ["プレイ秒数"]
focused = [name for (role, name), n in nodes.items() if role != "list item" and n.getState().contains(pyatspi.STATE_FOCUSED)]
assert focused == ["解答"], focused
EOF

click_at 373 40   # スタート
sleep 4           # the countdown: at most 3 s, and the box has the focus
xdotool type --delay 60 issekinichou
for key in space Return Return x Return Return; do   # converts, confirms, answers; a wrong one
    xdotool key "$key"
    sleep 0.3
done
wait_window 間違い >/dev/null
xdotool key Return   # the box has the focus
wait_file 履歴.txt
record="$(iconv -f CP932 -t UTF-8 < "$WORK/play/履歴.txt")"
pattern='^"[0-9/]{10}","[0-9:]{8}",2,1,1,"50.0%","0.40/秒","10秒","3"'$'\r''$'
[[ "$record" =~ $pattern ]] || fail "history holds: $record"
for item in "Down 苦手な熟語" "Up 成績グラフ"; do   # the context menu's first item, then its last
    xdotool mousemove --window "$WID" 60 430 click 3 && sleep 0.5 && xdotool key "${item% *}" Return
    wait_window "${item#* }" >/dev/null
    xdotool key Escape && sleep 0.5
    xdotool search --onlyvisible --name "^${item#* }\$" >/dev/null 2>&1 && fail "Esc left ${item#* } open"
done

click_at 538 40   # ヘルプ
wait_window 'SUMIRAKU ヘルプ' >/dev/null
xdotool windowraise "$WID"   # no window manager: bring the main window back on top
end_app
xdotool search --onlyvisible --name SUMIRAKU >/dev/null 2>&1 && fail "a window is left"
echo "scaled windows and banners right; settings picked; conversions listed at $cx,$cy; one game saved: $record"
