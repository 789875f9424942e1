# Shared by the packaging checks: the end-to-end helpers, the files an
# installation holds, and a start of its launcher.
# Usage in a script: source "$(dirname "$0")/lib.sh" <build-dir> <source-dir>
BUILD_DIR="$1" APP_ID=org.sumiraku.Sumiraku
NEEDS="desktop-file-utils appstream file" source "$2/tests/e2e/lib.sh" "$1/src/app/sumiraku" "$2" "$1/RvHelp.chm"
unset XDG_DATA_HOME

# Fails unless the paths on stdin, under the prefix, are exactly the files and links installed.
expect_files() {
    diff -u <(printf '%s\n' bin/sumiraku libexec/sumiraku/{sumiraku,sumiraku_chart.so} share/applications/$APP_ID.desktop \
        share/doc/sumiraku/{LICENSE-EDICT.txt,README-DICTIONARY.md} share/metainfo/$APP_ID.metainfo.xml \
        share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$APP_ID.png \
        share/icons/hicolor/scalable/apps/$APP_ID.svg share/sumiraku/{RvHelp.chm,履歴.txt,設定.txt,辞書.txt,読みと意味.txt} \
        | LC_ALL=C sort) <(LC_ALL=C sort) || fail "the files of $1 are not those expected"
}

# Starts a launcher from $WORK with HOME=$WORK/home; $ran says what ran where. Its
# window must be the only one, which a startup error box would not be, and End must
# close it with status 0.
launch() {
    mkdir -p "$WORK/home"
    HOME="$WORK/home" start_app "$WORK" "$1"
    ran="$(readlink "/proc/$APP_PID/exe") in $(readlink "/proc/$APP_PID/cwd")"
    sleep 1
    [ "$(xdotool search --onlyvisible --name '^SUMIRAKU$' | wc -l)" = 1 ] || fail "$1 showed a second window"
    end_app
}
