#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over both deliverables' sources and fails on any warning:
# - the platform-free core and the registrar, with the native build's compile commands;
# - the Win32 side of the program and the whole library, with the windows build's compile
#   commands, as clang for x86_64-w64-mingw32 with the mingw-w64 C++ and Windows headers.
# Headers are checked where they are included, once per file that includes them.
#
#   bash scripts/tidy.sh [FILE...]     (default: every source of app/ and registry/)
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"

tidy="$(command -v clang-tidy-14 || command -v clang-tidy)"
jobs="$(nproc)"

# Compile commands for both builds; the library's sources need the headers widl makes.
cmake --preset native >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target registry_typelib >/dev/null

# The include folders the cross compiler searches, made explicit for clang.
mingw_cxx="$(grep -o '/usr/bin/x86_64-w64-mingw32-g++[^ ]*' build/windows/compile_commands.json |
    head -n 1)"
mingw_args=(--extra-arg-before=--target=x86_64-w64-mingw32 --extra-arg-before=-nostdinc++)
while read -r dir; do
    mingw_args+=("--extra-arg-before=-isystem$dir")
done < <(echo | "$mingw_cxx" -E -x c++ - -v 2>&1 |
    sed -n '/#include <...> search starts here/,/End of search list/p' | sed -n 's/^ \(\/.*\)/\1/p' |
    grep -v '/include-fixed$\|/12-posix/include$')

# Sources of a build's compile commands that lie under app/ or registry/, matching a filter.
sources() {
    python3 - "$1" "$2" "$repo" <<'EOF'
import json, re, sys
build, pattern, repo = sys.argv[1], re.compile(sys.argv[2]), sys.argv[3]
for entry in json.load(open(f"{build}/compile_commands.json")):
    path = entry["file"]
    if re.match(rf"{re.escape(repo)}/(app|registry)/", path) and pattern.search(path):
        print(path)
EOF
}

if [ $# -gt 0 ]; then
    selected=("$@")
else
    selected=()
fi
pick() { # keeps the sources that were asked for (all when none were named)
    if [ ${#selected[@]} -eq 0 ]; then cat; return; fi
    while read -r path; do
        for want in "${selected[@]}"; do
            [ "$path" = "$(realpath "$want")" ] && echo "$path"
        done
    done
}

header_filter="^$repo/(app|registry)/"
log="$repo/build/tidy.log"
: >"$log"
# The core and the registrar natively; everything else (win32/ folders, the library) for Windows.
sources build/native '.' | pick | sort -u |
    xargs -r -P "$jobs" -n 4 "$tidy" -p build/native --quiet --header-filter="$header_filter" \
        >>"$log" 2>&1 || true
sources build/windows '/win32/|/registry/(?!registrar/)' | pick | sort -u |
    xargs -r -P "$jobs" -n 4 "$tidy" -p build/windows --quiet --header-filter="$header_filter" \
        "${mingw_args[@]}" >>"$log" 2>&1 || true

# One line per finding, each reported once even when several files include its header.
findings="$(grep -E '^/[^ ]+:[0-9]+:[0-9]+: (warning|error):' "$log" | sort -u || true)"
if [ -n "$findings" ]; then
    echo "$findings"
    echo "tidy: $(echo "$findings" | wc -l) findings (full output in $log)"
    exit 1
fi
echo "tidy: no findings"
