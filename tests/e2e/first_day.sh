#!/usr/bin/env bash
# Runs the first-day test in a fresh Wine prefix of its own (<build>/e2e/wine), where nothing is
# installed until the test runs setup.exe.
#
#   first_day.sh BUILD_DIR TEST_EXE SETUP_EXE_WINDOWS_PATH
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export TIDEWELL_BUILD_DIR="$1"
export TIDEWELL_WINE_STATE="$1/e2e/wine"
export TIDEWELL_SETUP="$3"
# setup.exe ends with 3 where the 32-bit registration cannot run.
TIDEWELL_SETUP_EXIT=0
bash "$repo/scripts/wine.sh" x86 >/dev/null || TIDEWELL_SETUP_EXIT=3
export TIDEWELL_SETUP_EXIT
bash "$repo/scripts/wine.sh" reset
bash "$repo/scripts/wine.sh" prefix >/dev/null
rc=0
bash "$repo/scripts/wine.sh" run "$2" || rc=$?
bash "$repo/scripts/wine.sh" flush
exit "$rc"
