#!/usr/bin/env bash
# Renders the artwork in art/*.svg to the pictures the program loads from ":/art/".
#
#   bash tools/render_art.sh          (from anywhere; needs rsvg-convert and ImageMagick 6 or 7)
#   apt-get install librsvg2-bin imagemagick
#
# Output goes to art/rendered/, overwriting what is there, so running it twice gives the same
# files. Each picture comes at its classic size and as name@2x at double size, which Qt picks up
# by itself on a 200 % screen. The banner is a GIF (banner.gif, banner@2x.gif) plus banner@2x.png.
# The SVGs carry their text as outlines, so no font is needed; the rendered files are committed
# and the build never runs this script.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
src=$root/art
out=$root/art/rendered

# A convert earlier in PATH may be a wrapper; take the distribution's ImageMagick when it is there.
im=
for c in /usr/bin/convert /usr/bin/magick "$(command -v magick || true)" "$(command -v convert || true)"; do
    if [ -n "$c" ] && [ -x "$c" ] && "$c" -version 2>/dev/null | grep -q ImageMagick; then
        im=$c
        break
    fi
done
command -v rsvg-convert >/dev/null || { echo "render_art.sh: rsvg-convert not found (librsvg2-bin)" >&2; exit 1; }
[ -n "$im" ] || { echo "render_art.sh: ImageMagick not found" >&2; exit 1; }

mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# svg, width, height, output png: dates left out so a re-run gives identical bytes
png() {
    rsvg-convert -w "$2" -h "$3" "$1" -o "$tmp/raw.png"
    "$im" "$tmp/raw.png" -strip -define png:exclude-chunks=date,time "PNG32:$4"
}

for name in app save clear help end start1 start2 start3; do
    png "$src/$name.svg" 32 32 "$out/$name.png"
    png "$src/$name.svg" 64 64 "$out/$name@2x.png"
done
png "$src/autosave.svg" 16 16 "$out/autosave.png"
png "$src/autosave.svg" 32 32 "$out/autosave@2x.png"

# The banner is opaque, so a plain 256-colour GIF89a without dithering keeps its edges clean.
gif() {
    rsvg-convert -w "$2" -h "$3" "$1" -o "$tmp/banner.png"
    "$im" "$tmp/banner.png" -background '#efefef' -alpha remove -alpha off +dither -colors 256 -strip "GIF:$4"
}
gif "$src/banner.svg" 324 63 "$out/banner.gif"
gif "$src/banner.svg" 648 126 "$out/banner@2x.gif"
png "$src/banner.svg" 648 126 "$out/banner@2x.png"

# The desktop icon at the usual theme sizes, kept out of rendered/ so the program's resources
# do not carry it; the install step puts them under icons/hicolor.
icons=$root/art/icons
mkdir -p "$icons"
for size in 16 32 48 64 128 256; do
    png "$src/app.svg" "$size" "$size" "$icons/app-$size.png"
done

echo "rendered $(ls "$out" | wc -l) files into $out and $(ls "$icons" | wc -l) into $icons"
