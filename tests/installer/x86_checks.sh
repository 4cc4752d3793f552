#!/usr/bin/env bash
# The installer round trip's checks of what 32-bit automation clients see, judged from what
# round_trip.sh observed at each step (LABEL, expected line or nothing, lines seen joined by "|").
# Skipped (exit 77) where this host cannot run 32-bit Windows programs.
#
#   x86_checks.sh BUILD_DIR
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
observed="$1/installer/wine/logs/x86-observed.txt"

if ! reason="$(bash "$repo/scripts/wine.sh" x86)"; then
    echo "SKIPPED: needs a 32-bit Windows program; $reason"
    exit 77
fi

passed=0
failed=0
steps=0
while IFS=$'\t' read -r label expected seen; do
    steps=$((steps + 1))
    ok=no
    if [ -z "$expected" ]; then
        [ -z "$seen" ] && ok=yes
    else
        IFS='|' read -r -a lines <<<"$seen"
        for line in "${lines[@]}"; do [ "$line" = "$expected" ] && ok=yes; done
    fi
    if [ "$ok" = yes ]; then
        passed=$((passed + 1))
        echo "ok: $label"
    else
        failed=$((failed + 1))
        echo "FAILED: $label [$seen]"
    fi
done <"$observed"
# After setup, after setup again, after the uninstall.
if [ "$steps" -ne 3 ]; then
    failed=$((failed + 1))
    echo "FAILED: the round trip observed $steps of 3 steps"
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
