#!/usr/bin/env bash
# The real program on screens scaled to 150 % and 200 %: the window is the
# design's size times the factor, and the banner is drawn from its double-size
# artwork, as crisp as that and crisper than the small one blown up. The screenshots are left in
# the current folder, screenshot-150.png and screenshot-200.png.
source "$(dirname "$0")/needs.sh"
need_packages "$2" imagemagick xvfb xdotool x11-utils
source "$(dirname "$0")/lib.sh" "$@"

start_x 1400x1000
seed_play_folder
art="$SOURCE_DIR/art/rendered"
shots="$PWD"

# How crisp a picture is: the spread of its Laplacian, which a blown-up
# picture loses with its fine edges.
crispness() {
    /usr/bin/convert "$1" -colorspace gray -define convolve:scale='!' \
        -morphology Convolve Laplacian:0 -format '%[fx:standard_deviation]' info:
}

for percent in 150 200; do
    factor="$(printf '%d.%02d' $((percent / 100)) $((percent % 100)))"
    export QT_SCALE_FACTOR="$factor"
    start_app
    sleep 0.5
    size="$(xwininfo -id "$WID" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')"
    want="$(((631 * percent + 99) / 100))x$(((452 * percent + 99) / 100))"
    [ "$size" = "$want" ] || fail "at $percent % the client area is $size, expected $want"

    shot="$shots/screenshot-$percent.png"
    /usr/bin/import -window "$WID" "$shot"
    # The banner stands at 10,10 and is 324 × 63 at 100 %.
    geometry="$((324 * percent / 100))x$((63 * percent / 100))+$((10 * percent / 100))+$((10 * percent / 100))"
    /usr/bin/convert "$shot" -crop "$geometry" +repage "$WORK/shown.png"
    /usr/bin/convert "$art/banner@2x.gif" -resize "$((324 * percent / 100))x$((63 * percent / 100))!" "$WORK/sharp.png"
    /usr/bin/convert "$art/banner.gif" -resize "$((324 * percent / 100))x$((63 * percent / 100))!" "$WORK/blown.png"
    shown="$(crispness "$WORK/shown.png")"
    sharp="$(crispness "$WORK/sharp.png")"
    blown="$(crispness "$WORK/blown.png")"
    awk -v s="$shown" -v a="$sharp" -v b="$blown" 'function abs(x) { return x < 0 ? -x : x }
        BEGIN { exit !(abs(s - a) < abs(s - b)) }' \
        || fail "at $percent % the banner is as crisp as $shown: the large artwork $sharp, the small one blown up $blown"
    echo "$percent %: $size; banner crispness $shown (large artwork $sharp, small one blown up $blown)"

    click_at $((593 * percent / 100)) $((40 * percent / 100))   # 終了
    [ "$(wait_exit)" = 0 ] || fail "did not end cleanly at $percent %"
done
