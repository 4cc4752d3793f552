#!/usr/bin/env bash
# Sets up the machine, builds what the tests need and runs every test, headless: the Wine tests
# (the program and the 64-bit library, setup.exe, then the 32-bit library) while the native unit
# tests and the fuzz targets build and run beside them. Ends with the time of each phase.
#
# Whether this host runs 32-bit Windows programs is found out once (scripts/wine.sh x86); where it
# cannot, every check needing one is skipped (CTest's "Skipped", exit code 77) and the reason is
# printed after the summary. TIDEWELL_NO_WIN32_X86=1 declares the host unable; as root the whole
# run then sees a 32-bit loader that fails with "Exec format error" (wine.sh without-x86).
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"

if [ "${TIDEWELL_NO_WIN32_X86:-}" = 1 ] && [ -z "${TIDEWELL_WITHOUT_X86_INSIDE:-}" ]; then
    exec bash scripts/wine.sh without-x86 bash "$repo/scripts/test.sh" "$@"
fi

jobs="$(nproc)"
mkdir -p build
timings="$repo/build/test-timings.txt"
: >"$timings"
# phase NAME COMMAND...: runs it and records how long it took.
phase() {
    local name="$1" start=$SECONDS rc=0
    shift
    "$@" || rc=$?
    echo "$name: $((SECONDS - start)) s" >>"$timings"
    return "$rc"
}
# The entries CTest skipped in a build tree, each with the reason it printed.
skip_reasons() {
    local log="$1/Testing/Temporary/LastTest.log"
    [ -f "$log" ] || return 0
    awk '/^[0-9]+\/[0-9]+ Test: / { test = $3 }
         /^SKIPPED: / { sub(/^SKIPPED: /, ""); print "skipped, not passed: " test ": " $0 }' "$log"
}
started=$SECONDS

phase "packages" bash scripts/bootstrap.sh

if reason="$(bash scripts/wine.sh x86)"; then
    export TIDEWELL_WIN32_X86=yes
else
    export TIDEWELL_WIN32_X86="$reason"
    echo "test.sh: the checks that need a 32-bit Windows program are skipped: $reason"
fi

configure_and_build() {
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1" -j "$jobs"
}
# The windows build also builds the 32-bit Registry.dll (for setup.exe) in build/windows/x86.
phase "windows build" configure_and_build windows
x86_build="$repo/build/windows/x86"
if [ "$TIDEWELL_WIN32_X86" = yes ]; then
    phase "windows32 build (its tests)" cmake --build "$x86_build" -j "$jobs"
fi

# Native unit tests and the fuzz targets, built and run beside the Wine tests (which mostly wait).
native_log="$repo/build/test-native.log"
native() {
    local status=0
    phase "native build" configure_and_build native || return 1
    phase "native tests" ctest --preset native -j "$jobs" || status=1
    phase "fuzz build and runs" bash scripts/fuzz.sh 5 || status=1
    return "$status"
}
native >"$native_log" 2>&1 &
native_pid=$!

# One display for the tests of the build's own prefixes; tests in prefixes of their own start
# their own display.
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    kill "$native_pid" ${windows32_pid:-} 2>/dev/null || true
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
    # Xvfb picks a free display and names it once it listens.
    : >build/test-display.txt
    Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp >build/test-display.txt 2>/dev/null &
    xvfb_pid=$!
    n=""
    for _ in $(seq 1 200); do
        n="$(tr -dc '0-9' <build/test-display.txt || true)"
        [ -n "$n" ] && break
        sleep 0.05
    done
    export DISPLAY=":$n"
fi

# A fresh prefix for every run, so that first-start behaviour is what the tests see.
fresh_prefixes() {
    # The 32-bit library is tested in a prefix of its own (its build tree's), made meanwhile.
    local x86_prefix_pid
    if [ "$TIDEWELL_WIN32_X86" = yes ]; then
        (TIDEWELL_BUILD_DIR="$x86_build" bash scripts/wine.sh reset &&
            TIDEWELL_BUILD_DIR="$x86_build" bash scripts/wine.sh prefix >/dev/null) &
    else
        true &
    fi
    x86_prefix_pid=$!
    bash scripts/wine.sh reset
    bash scripts/wine.sh prefix >/dev/null
    bash scripts/wine.sh install >/dev/null
    # The second half of the GUI tests' (tests/app_wine/CMakeLists.txt); CTest installs there.
    TIDEWELL_WINE_STATE="$repo/build/windows/gui-run/wine" bash scripts/wine.sh reset
    wait "$x86_prefix_pid"
}
phase "Wine prefixes" fresh_prefixes

status=0
# The 32-bit library's tests, in their own prefix, beside the others (they open no window).
windows32_log="$repo/build/test-windows32.log"
phase "windows32 tests" ctest --preset windows32 >"$windows32_log" 2>&1 &
windows32_pid=$!
# Two at a time: tests of one prefix and display share locks (build_desktop,
# registry_registration); the others have prefixes and displays of their own.
phase "windows tests" ctest --preset windows -j 2 || status=1
wait "$windows32_pid" || status=1
echo "--- windows32 tests (run beside the windows tests) ---"
cat "$windows32_log"
bash scripts/wine.sh flush
[ "$TIDEWELL_WIN32_X86" = yes ] && TIDEWELL_BUILD_DIR="$x86_build" bash scripts/wine.sh flush

native_status=0
wait "$native_pid" || native_status=$?
echo "--- native build, unit tests and fuzz runs (run beside the Wine tests) ---"
cat "$native_log"
[ "$native_status" -eq 0 ] || status=1

echo "--- skipped checks ---"
{ skip_reasons "$repo/build/windows"; skip_reasons "$x86_build"; } | sort -u | tee "$repo/build/test-skipped.txt"
[ -s "$repo/build/test-skipped.txt" ] || echo "none"
echo "--- time of each phase ---"
cat "$timings"
echo "total: $((SECONDS - started)) s"
exit "$status"
