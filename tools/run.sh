#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game in play/, a folder of
# your own seeded from the bundled data files on first use (your settings,
# dictionary and history live there; the tracked files are never touched).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/deps.sh" run
"$root/tools/build.sh"
play="$root/play"
mkdir -p "$play"
for f in 設定.txt 辞書.txt 履歴.txt 読みと意味.txt; do
    [ -e "$play/$f" ] || cp "$root/data/$f" "$play/$f"
done
cp -f "$root/build/RvHelp.chm" "$play/RvHelp.chm" 2>/dev/null || true
cd "$play"
exec "$root/build/sumiraku"
