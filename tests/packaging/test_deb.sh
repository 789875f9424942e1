#!/usr/bin/env bash
# The .deb that cpack builds: its fields, its file list and its desktop entry.
# With root and CI=true (or SUMIRAKU_TEST_DEB_INSTALL=1) it is also installed on
# this machine, started, and removed again, leaving none of its files behind.
source "$(dirname "$0")/lib.sh" "$@"

cpack -G DEB --config "$BUILD_DIR/CPackConfig.cmake" -B "$WORK/out" >"$WORK/cpack.log" 2>&1 \
    || { cat "$WORK/cpack.log"; fail "cpack failed"; }
debs=("$WORK"/out/*.deb)
[ ${#debs[@]} = 1 ] || fail "cpack made ${#debs[@]} packages"
deb="${debs[0]}"
version="$(sed -n 's/^project(sumiraku VERSION \([0-9.]*\).*/\1/p' "$SOURCE_DIR/CMakeLists.txt")"
arch="$(dpkg --print-architecture)"
[ "$(basename "$deb")" = "sumiraku_${version}-1_${arch}.deb" ] || fail "package file $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = sumiraku ] || fail "Package: $(field Package)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[ "$(field Version)" = "${version}-1" ] || fail "Version: $(field Version)"
depends="$(field Depends)"
for need in 'libqt6widgets6' 'libchm1' 'fonts-ipafont-gothic | fonts-noto-cjk'; do
    grep -qF "$need" <<<"$depends" || fail "Depends lacks $need: $depends"
done
echo "package $(basename "$deb"): Depends: $depends"

# Every file under /usr exactly as listed, owned by root, programs executable.
dpkg-deb --contents "$deb" > "$WORK/contents"
have="$(awk '$1 !~ /^d/ {print $6}' "$WORK/contents" | sed 's|^\./usr/||' | LC_ALL=C sort)"
diff -u <(LC_ALL=C sort "$SOURCE_DIR/tests/packaging/files.txt") <(printf '%s\n' "$have") \
    || fail "the package's files differ from tests/packaging/files.txt"
awk '$2 != "root/root" {print; bad=1} END {exit bad}' "$WORK/contents" || fail "files not owned by root"
for program in bin/sumiraku libexec/sumiraku/sumiraku; do
    grep -qE "^-rwxr-xr-x .* \./usr/$program\$" "$WORK/contents" || fail "/usr/$program is not 0755"
done
dpkg-deb -x "$deb" "$WORK/root"
validate_metadata "$WORK/root/usr"
file "$WORK/root/usr/libexec/sumiraku/sumiraku" | grep -q ', stripped' || fail "the program is not stripped"
echo "file list, owners, modes and metadata of the package are right"

if [ "$(id -u)" != 0 ] || { [ "${CI:-}" != true ] && [ "${SUMIRAKU_TEST_DEB_INSTALL:-}" != 1 ]; }; then
    echo "install check skipped: it installs on this machine, so it runs only as root with CI=true or SUMIRAKU_TEST_DEB_INSTALL=1"
    exit 0
fi
if dpkg-query -W -f='${Status}' sumiraku 2>/dev/null | grep -q 'ok installed'; then
    echo "install check skipped: a sumiraku package is already installed here"
    exit 0
fi
trap 'dpkg -r sumiraku >/dev/null 2>&1 || true; cleanup' EXIT
dpkg -i "$deb" > "$WORK/dpkg.log" 2>&1 || { cat "$WORK/dpkg.log"; fail "dpkg -i failed"; }
[ "$(command -v sumiraku)" = /usr/bin/sumiraku ] || fail "sumiraku is not on PATH"
run_launcher_briefly sumiraku ""
expect_seeded "$WORK/home/.local/share/sumiraku"
dpkg -r sumiraku > "$WORK/dpkg.log" 2>&1 || { cat "$WORK/dpkg.log"; fail "dpkg -r failed"; }
while read -r f; do
    [ ! -e "/usr/$f" ] || fail "/usr/$f is left after dpkg -r"
done < "$SOURCE_DIR/tests/packaging/files.txt"
for dir in /usr/libexec/sumiraku /usr/share/sumiraku /usr/share/doc/sumiraku; do
    [ ! -e "$dir" ] || fail "$dir is left after dpkg -r"
done
echo "installed with dpkg -i, ran from the menu's command, removed with dpkg -r leaving no file"
