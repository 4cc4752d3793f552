#!/usr/bin/env bash
# Sets up the machine, builds the presets and runs every test (native, then under Wine: the program
# and the 64-bit library, setup.exe, then the 32-bit library), headless.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"

bash scripts/bootstrap.sh

jobs="$(nproc)"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
cmake --preset windows >/dev/null
# Also builds the 32-bit library and its tests (the windows32 preset's tree) and setup.exe.
cmake --build --preset windows -j "$jobs"

# One display for the whole Wine run; the harness starts its own only when none is given.
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
    n=70
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
    for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
    export DISPLAY=":$n"
fi

# A fresh prefix for every run, so that first-start behaviour is what the tests see.
bash scripts/wine.sh reset
bash scripts/wine.sh prefix >/dev/null
bash scripts/wine.sh install >/dev/null
# The 32-bit library is tested in a prefix of its own (its build tree's).
x86_build="$repo/build/windows/x86"
TIDEWELL_BUILD_DIR="$x86_build" bash scripts/wine.sh reset
TIDEWELL_BUILD_DIR="$x86_build" bash scripts/wine.sh prefix >/dev/null

status=0
ctest --preset native -j "$jobs" || status=1
bash scripts/fuzz.sh 5 || status=1
ctest --preset windows || status=1
ctest --preset windows32 || status=1
bash scripts/wine.sh flush
TIDEWELL_BUILD_DIR="$x86_build" bash scripts/wine.sh flush
exit "$status"
