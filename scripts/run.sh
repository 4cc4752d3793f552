#!/usr/bin/env bash
# Sets up the machine, builds the program, installs it in the private Wine prefix and starts it:
# on your display when DISPLAY is set, otherwise headless, saving a screenshot of the main window.
# TIDEWELL_BUILD_DIR chooses the build tree (default build/windows).
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"
build="${TIDEWELL_BUILD_DIR:-$repo/build/windows}"
case "$build" in /*) ;; *) build="$repo/$build" ;; esac
export TIDEWELL_BUILD_DIR="$build"

# Its headless screenshot needs ImageMagick's import.
bash scripts/bootstrap.sh imagemagick
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" --target tidewell uidriver -j "$(nproc)"

if [ -n "${DISPLAY:-}" ]; then
    bash scripts/wine.sh install "$build" >/dev/null
    echo "Starting Tidewell in the Wine prefix $(bash scripts/wine.sh prefix)"
    exec bash scripts/wine.sh run 'C:\Program Files\Vellmoor\Tidewell\tidewell.exe' "$@"
fi

bash scripts/screenshot.sh "$build/main-window.png"
