#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over both deliverables' sources and fails on any warning:
# - the platform-free core and the registrar, with the native build's compile commands;
# - the Win32 side of the program and the whole library, with the windows build's compile
#   commands, as clang for x86_64-w64-mingw32 with the mingw-w64 C++ and Windows headers.
# Headers are checked where they are included, once per file that includes them.
#
#   bash scripts/tidy.sh [FILE...]     (default: every source of app/, registry/, win32common/)
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"

bash scripts/bootstrap.sh clang-tidy-14
tidy="$(command -v clang-tidy-14 || command -v clang-tidy)"
jobs="$(nproc)"

# Compile commands for both builds; the library's sources need the headers widl makes.
cmake --preset native >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target registry_typelib >/dev/null

# The include folders the cross compiler searches, made explicit for clang.
mingw_cxx="$(grep -m 1 -o '/usr/bin/x86_64-w64-mingw32-g++[^ ]*' build/windows/compile_commands.json)"
mingw_args=(--extra-arg-before=--target=x86_64-w64-mingw32 --extra-arg-before=-nostdinc++)
while read -r dir; do
    mingw_args+=("--extra-arg-before=-isystem$dir")
done < <(echo | "$mingw_cxx" -E -x c++ - -v 2>&1 |
    sed -n '/#include <...> search starts here/,/End of search list/p' | sed -n 's/^ \(\/.*\)/\1/p' |
    grep -v '/include-fixed$\|/12-posix/include$')

# Sources of a build's compile commands in the deliverables' folders, matching a filter.
sources() {
    python3 - "$1" "$2" "$repo" <<'EOF'
import json, re, sys
build, pattern, repo = sys.argv[1], re.compile(sys.argv[2]), sys.argv[3]
for entry in json.load(open(f"{build}/compile_commands.json")):
    path = entry["file"]
    if (re.match(rf"{re.escape(repo)}/(app|registry|win32common)/", path) and path.endswith(".cpp")
            and pattern.search(path)):
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
            if [ "$path" = "$(realpath "$want")" ]; then echo "$path"; fi
        done
    done
}

header_filter="^$repo/(app|registry|win32common)/"
logs="$repo/build/tidy"
rm -rf "$logs"
mkdir -p "$logs"
# One clang-tidy per source, each with its own output file, N at a time.
run() { # build, then extra arguments; sources on standard input
    local build="$1"
    shift
    xargs -r -P "$jobs" -I{} bash -c 'source="$1"; shift
        "$@" "$source" >"$0/$(echo "$source" | md5sum | cut -c1-12).log" 2>&1 || true' \
        "$logs" {} "$tidy" -p "$build" --quiet \
        --header-filter="$header_filter" "$@"
}
# The core and the registrar natively; everything else (win32/ folders, the library) for Windows.
sources build/native '.' | pick | sort -u | run build/native
sources build/windows '/win32/|/win32common/|/registry/(?!registrar/)' | pick | sort -u |
    run build/windows "${mingw_args[@]}"
log="$repo/build/tidy.log"
cat "$logs"/*.log >"$log" 2>/dev/null || : >"$log"

# One line per finding, each reported once even when several files include its header.
# Warnings count in the deliverables' own folders only (widl's generated header, for one,
# forward-declares the coclasses whose implementations carry the same names in namespace
# registry); an error anywhere means a file was not analysed, so it always counts.
findings="$( (grep -E "^$repo/(app|registry|win32common)/[^ ]+:[0-9]+:[0-9]+: warning:" "$log";
    grep -E '^[^ ]+:[0-9]+:[0-9]+: error:|^Error while processing' "$log") | sort -u || true)"
if [ -n "$findings" ]; then
    echo "$findings"
    echo "tidy: $(echo "$findings" | wc -l) findings (full output in $log)"
    exit 1
fi
echo "tidy: no findings"
