#!/usr/bin/env bash
# Builds and installs the program in the Wine prefix, starts it headless, brings up the main
# window (dismissing the first-start message or opening it from the tray), and saves a PNG of it.
#
#   scripts/screenshot.sh [OUTPUT.png]     default: docs/main-window.png
# TIDEWELL_BUILD_DIR chooses the build tree (default build/windows).
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"
build="${TIDEWELL_BUILD_DIR:-$repo/build/windows}"
case "$build" in /*) ;; *) build="$repo/$build" ;; esac
export TIDEWELL_BUILD_DIR="$build"
out="${1:-$repo/docs/main-window.png}"
case "$out" in /*) ;; *) out="$PWD/$out" ;; esac
mkdir -p "$(dirname "$out")"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset windows -B "$build" >/dev/null
fi
cmake --build "$build" --target tidewell uidriver -j "$(nproc)" >/dev/null
bash scripts/wine.sh install "$build" >/dev/null


version_part() { sed -n "s/^#define TIDEWELL_VERSION_$1 \([0-9]*\)$/\1/p" "$build/generated/Version.h"; }
title="Tidewell!™ Version $(version_part MAJOR).$(version_part MINOR)$(version_part PATCH)"

export TIDEWELL_SHOT_OUT="$out" TIDEWELL_SHOT_TITLE="$title"
export TIDEWELL_UIDRIVER="$build/tools/uidriver/uidriver.exe"
# One display for the program, the driver and the capture.
bash scripts/wine.sh exec bash -c '
set -u
ui() { wine "$TIDEWELL_UIDRIVER" "$@" | tr -d "\r"; }
# A command line lets the start through whatever maintenance date is stored.
wine "C:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe" /screenshot &
pid=$!
main=""
for _ in $(seq 1 60); do
    main="$(ui wait TidewellForm "$TIDEWELL_SHOT_TITLE" 500 visible || true)"
    [ -n "$main" ] && break
    ui press "Thank You!" 1 100 >/dev/null || true
    ui tray-click "Right Click To Show Tidewell!™" right 100 >/dev/null || true
    kill -0 "$pid" 2>/dev/null || break
done
status=1
if [ -n "$main" ]; then
    sleep 1
    read -r left top width height < <(ui rect "$main")
    import -window root -crop "${width}x${height}+${left}+${top}" +repage "$TIDEWELL_SHOT_OUT"
    status=0
fi
[ -n "$main" ] && ui close "$main" >/dev/null && ui press "Close Tidewell?" 6 3000 >/dev/null || true
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
exit "$status"
' || { echo "screenshot: the main window did not appear" >&2; exit 1; }
echo "Screenshot of the main window: $out"
