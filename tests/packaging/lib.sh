# Shared by the packaging checks: the end-to-end helpers (scratch $WORK, private
# X server, fail) plus checks of an installed tree and of the launcher.
# Usage in a script: source "$(dirname "$0")/lib.sh" <build-dir> <source-dir>
BUILD_DIR="$1"
source "$2/tests/e2e/lib.sh" "$1/sumiraku" "$2"
APP_ID=org.sumiraku.Sumiraku
DATA_FILES=(設定.txt 辞書.txt 履歴.txt)

# Fails unless the files and links under a prefix are exactly those of files.txt.
expect_files() {
    local have
    have="$(cd "$1" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)"
    diff -u <(LC_ALL=C sort "$SOURCE_DIR/tests/packaging/files.txt") <(printf '%s\n' "$have") \
        || fail "installed files under $1 differ from tests/packaging/files.txt"
}

# The desktop entry and the metainfo under a prefix pass their validators.
validate_metadata() {
    local out
    out="$(desktop-file-validate "$1/share/applications/$APP_ID.desktop" 2>&1)" \
        || fail "desktop-file-validate: $out"
    if grep -E ': (error|warning):' <<<"$out"; then fail "desktop-file-validate complains"; fi
    appstreamcli validate --no-net --explain "$1/share/metainfo/$APP_ID.metainfo.xml" \
        || fail "appstreamcli validate failed"
    # The tree check also pairs the metainfo with its desktop entry.
    appstreamcli validate-tree --no-net "$1" >/dev/null || fail "appstreamcli validate-tree failed"
}

# Runs a launcher offscreen for a few seconds from $WORK/cwd with HOME=$WORK/home
# and the given XDG_DATA_HOME ("" for unset); the program must still be running.
run_launcher_briefly() {
    local status=0
    mkdir -p "$WORK/cwd" "$WORK/home"
    (cd "$WORK/cwd" && if [ -n "$2" ]; then export XDG_DATA_HOME="$2"; else unset XDG_DATA_HOME; fi \
        && HOME="$WORK/home" QT_QPA_PLATFORM=offscreen exec timeout 4 "$1") || status=$?
    [ "$status" = 124 ] || fail "$1 ended with status $status before the timeout"
}

# Fails unless a player's folder holds the bundled data files, unchanged.
expect_seeded() {
    local f
    for f in "${DATA_FILES[@]}"; do
        cmp -s "$SOURCE_DIR/data/$f" "$1/$f" || fail "$1/$f is not the bundled $f"
        [ -w "$1/$f" ] || fail "$1/$f is not writable"
    done
}
