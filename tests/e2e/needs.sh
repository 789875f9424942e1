# Shared by end-to-end scripts that need more than the usual test packages:
# installs what is missing through tools/deps.sh, or skips the script (status
# 77, which CTest reports as skipped) where the packages cannot be had.
# Usage: source "$(dirname "$0")/needs.sh"; need_packages SOURCE_DIR PACKAGE...

missing_packages() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
    done
}

need_packages() {
    local source_dir="$1"
    shift
    [ -z "$(missing_packages "$@")" ] && return 0
    "$source_dir/tools/deps.sh" test >&2 || true
    local missing
    missing="$(missing_packages "$@" | tr '\n' ' ')"
    if [ -n "$missing" ]; then
        echo "SKIP: cannot install $missing" >&2
        exit 77
    fi
}
