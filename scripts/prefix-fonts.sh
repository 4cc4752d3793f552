#!/usr/bin/env bash
# Makes Wine's own fonts (Marlett draws the caption buttons, Tahoma is the dialog font) visible to
# the programs of the prefix by copying them into its font folder. Quick when already done.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
prefix="$(bash "$repo/scripts/wine.sh" prefix)"
for font in marlett.ttf tahoma.ttf tahomabd.ttf; do
    if [ -f "/usr/share/wine/fonts/$font" ] && [ ! -f "$prefix/drive_c/windows/Fonts/$font" ]; then
        cp "/usr/share/wine/fonts/$font" "$prefix/drive_c/windows/Fonts/"
    fi
done
