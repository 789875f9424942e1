#!/usr/bin/env bash
# cmake --install into a scratch root: the files, the desktop entry and the
# metainfo, and the launcher, which seeds the player's folder on first use and
# never overwrites what the player already has there.
source "$(dirname "$0")/lib.sh" "$@"

DESTDIR="$WORK/stage" cmake --install "$BUILD_DIR" --prefix /usr >/dev/null
prefix="$WORK/stage/usr" folder="$WORK/home/.local/share/sumiraku"
launcher="$prefix/bin/sumiraku" help="$prefix/share/sumiraku/RvHelp.chm"
(cd "$prefix" && find . ! -type d | sed 's|^\./||') | expect_files "the installed tree"
out="$(desktop-file-validate "$prefix/share/applications/$APP_ID.desktop" 2>&1)" \
    && ! grep -E ': (error|warning):' <<<"$out" || fail "desktop-file-validate: $out"
# The tree check also pairs the metainfo with its desktop entry.
appstreamcli validate --no-net --explain "$prefix/share/metainfo/$APP_ID.metainfo.xml" \
    && appstreamcli validate-tree --no-net "$prefix" >/dev/null || fail "appstreamcli found faults"
cmp -s "$BUILD_DIR/RvHelp.chm" "$help" || fail "installed help differs from the built one"

# Fails unless a player's folder holds the bundled data files, unchanged and writable.
expect_seeded() {
    for f in 設定.txt 辞書.txt 履歴.txt 読みと意味.txt; do
        cmp -s "$SOURCE_DIR/data/$f" "$1/$f" && [ -w "$1/$f" ] || fail "$1/$f is not the bundled one, writable"
    done
}
# First use: the folder is made and seeded, with a link to the help, and the program runs there.
start_x
launch "$launcher"
[ "$ran" = "$prefix/libexec/sumiraku/sumiraku in $folder" ] || fail "the launcher ran $ran"
expect_seeded "$folder"
[ "$(readlink "$folder/RvHelp.chm")" = "$help" ] || fail "RvHelp.chm does not link to $help"

# A relative XDG_DATA_HOME is ignored, as the base directory rules say; names with spaces and kana work.
rm -rf "$WORK/home"
XDG_DATA_HOME=relative/share launch "$launcher"
expect_seeded "$folder"
[ ! -e "$WORK/relative" ] || fail "a relative XDG_DATA_HOME was used"
XDG_DATA_HOME="$WORK/データ の場所" launch "$launcher"
expect_seeded "$WORK/データ の場所/sumiraku"

# An existing folder: the player's files stay byte for byte, a help file of the
# player's own too; a missing file is copied in, a stale help link renewed.
rm "$folder/履歴.txt" "$folder/RvHelp.chm"
sjis '30,1,"3:ハード"' > "$folder/設定.txt" && sjis 一石二鳥 > "$folder/辞書.txt" && echo mine > "$folder/RvHelp.chm"
cp -r "$folder" "$WORK/mine"
launch "$launcher"
for f in 設定.txt 辞書.txt RvHelp.chm; do
    cmp -s "$WORK/mine/$f" "$folder/$f" && [ ! -L "$folder/$f" ] || fail "the player's $f was replaced"
done
cmp -s "$SOURCE_DIR/data/履歴.txt" "$folder/履歴.txt" || fail "a missing 履歴.txt was not seeded"
ln -sfn "$WORK/gone/RvHelp.chm" "$folder/RvHelp.chm"
launch "$launcher"
[ "$(readlink "$folder/RvHelp.chm")" = "$help" ] || fail "a stale help link was not renewed"
echo "installed files and metadata right; the launcher seeds, keeps the player's files and renews the help link"
