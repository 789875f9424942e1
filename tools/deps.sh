#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the game and the tests need, only
# those that are missing. Usage: tools/deps.sh [run|test|bench]
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev libgl-dev
    libchm-dev fp-utils
    fonts-ipafont-gothic fonts-noto-cjk
)
if [ "${1:-run}" = test ]; then
    packages+=(xvfb xauth xdotool x11-utils imagemagick
               fcitx5 fcitx5-mozc fcitx5-frontend-qt6 dbus-x11
               at-spi2-core python3-pyatspi qt6-gtk-platformtheme gnome-themes-extra
               desktop-file-utils appstream file
               clang libclang-rt-14-dev)
fi
if [ "${1:-run}" = bench ]; then
    packages+=(xvfb xauth xdotool hyperfine time python3 tipp10)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
