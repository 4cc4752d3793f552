#!/usr/bin/env bash
# Builds the deliverables and every benchmark (bench/*/), installs them in the private Wine prefix
# and runs the benchmarks one after another, then prints the binaries' sizes. Benchmarks are not
# tests: they run only by hand, never from ctest or scripts/test.sh.
#
#   bash scripts/bench.sh [NAME...]     NAME: a benchmark program without .exe (default: every one)
#
# Each program's output is also kept in build/windows/bench/results/NAME.txt.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"

build="$repo/build/windows"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target tidewell Registry tidewell_help tidewell_setup \
    bench/all >/dev/null
bash scripts/wine.sh prefix >/dev/null
bash scripts/wine.sh install >/dev/null

if [ $# -gt 0 ]; then
    names=("$@")
else
    names=()
    for program in "$build"/bench/*/*.exe; do names+=("$(basename "$program" .exe)"); done
fi

results="$build/bench/results"
mkdir -p "$results"
echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg), $(wine --version 2>/dev/null || echo wine)"
status=0
for name in "${names[@]}"; do
    program="$(ls "$build"/bench/*/"$name.exe" 2>/dev/null | head -n 1)"
    if [ -z "$program" ]; then
        echo "bench: no program $name.exe under $build/bench/"
        status=1
        continue
    fi
    echo "== $name"
    # Output to a file: a pipe would be held open by the Wine server the program may start.
    if ! (cd "$(dirname "$program")" && bash "$repo/scripts/wine.sh" run "$name.exe") \
        >"$results/$name.txt" 2>&1; then
        status=1
        echo "(exit code not 0)"
    fi
    cat "$results/$name.txt"
done

# Sizes as built (with debug information) and as shipped in setup.exe (stripped).
echo "== binary sizes"
stage="$build/installer/stage"
size_of() { if [ -f "$1" ]; then stat -c %s "$1"; else echo "-"; fi; }
{
    echo "tidewell.exe (x64): $(size_of "$build/app/tidewell.exe") bytes as built, $(size_of "$stage/tidewell.exe") bytes stripped"
    echo "Registry.dll (x64): $(size_of "$build/registry/Registry.dll") bytes as built, $(size_of "$stage/Registry.dll") bytes stripped"
    echo "Registry.dll (x86): $(size_of "$build/x86/registry/Registry.dll") bytes as built, $(size_of "$stage/x86/Registry.dll") bytes stripped"
    echo "setup.exe: $(size_of "$build/installer/setup.exe") bytes"
} | tee "$results/sizes.txt"
exit "$status"
