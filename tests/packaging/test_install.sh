#!/usr/bin/env bash
# cmake --install into a scratch root: the file list, the desktop entry and the
# metainfo, and the launcher, which seeds the player's folder on first use and
# never overwrites what the player already has there.
source "$(dirname "$0")/lib.sh" "$@"

stage="$WORK/stage"
DESTDIR="$stage" cmake --install "$BUILD_DIR" --prefix /usr >/dev/null
prefix="$stage/usr"
expect_files "$prefix"
validate_metadata "$prefix"
launcher="$prefix/bin/sumiraku"
help="$prefix/share/sumiraku/RvHelp.chm"
cmp -s "$BUILD_DIR/RvHelp.chm" "$help" || fail "installed help differs from the built one"

# First use in a real X server: the folder is made and seeded, and the program
# runs there; End closes it with status 0, which a startup error box would block.
start_x
folder="$WORK/home/.local/share/sumiraku"
mkdir -p "$WORK/home"
(cd "$WORK" && unset XDG_DATA_HOME && HOME="$WORK/home" exec env -u QT_QPA_PLATFORM "$launcher") &
APP_PID=$!
WID="$(wait_window SUMIRAKU)"
[ "$(readlink "/proc/$APP_PID/exe")" = "$prefix/libexec/sumiraku/sumiraku" ] \
    || fail "the launcher did not exec the installed program"
[ "$(readlink "/proc/$APP_PID/cwd")" = "$folder" ] || fail "the program does not run in $folder"
expect_seeded "$folder"
[ "$(readlink "$folder/RvHelp.chm")" = "$help" ] || fail "RvHelp.chm does not link to $help"
sleep 1
[ "$(xdotool search --onlyvisible --name '^SUMIRAKU$' | wc -l)" = 1 ] || fail "a second window showed"
click_at 593 40   # 終了
status="$(wait_exit)"
[ "$status" = 0 ] || fail "exit status $status"
echo "first use: $folder seeded, program ran there and ended with 0"

# Where the folder goes: a relative XDG_DATA_HOME is ignored, as the base
# directory rules say; names with spaces and kana work.
rm -rf "$WORK/home"
run_launcher_briefly "$launcher" "relative/share"
expect_seeded "$folder"
[ ! -e "$WORK/cwd/relative" ] || fail "a relative XDG_DATA_HOME was used"
odd="$WORK/データ の場所"
run_launcher_briefly "$launcher" "$odd"
expect_seeded "$odd/sumiraku"
echo "relative XDG_DATA_HOME ignored; a folder name with a space and kana works"

# An existing folder: the player's files stay byte for byte, a missing one is
# copied in, a help file of the player's own stays, a stale help link is renewed.
write_mine() { printf '%s\r\n' "$2" | iconv -f UTF-8 -t CP932 > "$folder/$1"; }
write_mine 設定.txt '30,1,"3:ハード"'
write_mine 辞書.txt $'一石二鳥\r\n起承転結'
rm "$folder/履歴.txt"
rm "$folder/RvHelp.chm" && echo mine > "$folder/RvHelp.chm"
cp "$folder/設定.txt" "$WORK/settings.mine" && cp "$folder/辞書.txt" "$WORK/dictionary.mine"
run_launcher_briefly "$launcher" ""
cmp -s "$WORK/settings.mine" "$folder/設定.txt" || fail "the player's 設定.txt was overwritten"
cmp -s "$WORK/dictionary.mine" "$folder/辞書.txt" || fail "the player's 辞書.txt was overwritten"
cmp -s "$SOURCE_DIR/data/履歴.txt" "$folder/履歴.txt" || fail "a missing 履歴.txt was not seeded"
[ ! -L "$folder/RvHelp.chm" ] && [ "$(cat "$folder/RvHelp.chm")" = mine ] \
    || fail "the player's own RvHelp.chm was replaced"
rm "$folder/RvHelp.chm" && ln -s "$WORK/gone/RvHelp.chm" "$folder/RvHelp.chm"
run_launcher_briefly "$launcher" ""
[ "$(readlink "$folder/RvHelp.chm")" = "$help" ] || fail "a stale help link was not renewed"
echo "existing folder: player's files kept, missing file seeded, help link renewed"
