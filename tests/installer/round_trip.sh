#!/usr/bin/env bash
# setup.exe in a fresh Wine prefix of its own, under the build tree (<build>/installer/wine):
# the silent setup installs the program, both libraries (each registered in its own architecture's
# view), the help file, the readme, the shortcut and the uninstall entry; the installed program
# starts; the silent uninstall then leaves only the backup folder, and no registration, settings
# key or start-up entry. setup.exe and Uninstall.exe are 64-bit programs.
#
# Where this host cannot run 32-bit Windows programs, setup ends with 3 (the 32-bit registration
# failed) instead of 0. What 32-bit clients see is observed here only where the host runs them,
# into <state>/logs/x86-observed.txt, and judged by x86_checks.sh (its own CTest entry, skipped
# on such a host).
#
#   round_trip.sh BUILD_DIR SETUP_EXE VERSION
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$1"
setup="$2"
version="$3"
export TIDEWELL_BUILD_DIR="$build"
export TIDEWELL_WINE_STATE="$build/installer/wine"

if [ "${TIDEWELL_ROUND_TRIP_STAGE:-}" != inside ]; then
    bash "$repo/scripts/wine.sh" reset
    bash "$repo/scripts/wine.sh" prefix >/dev/null
    # Everything else runs in one Wine environment (one display for the program and the driver).
    TIDEWELL_ROUND_TRIP_STAGE=inside exec bash "$repo/scripts/wine.sh" exec bash "$0" "$@"
fi

passed=0
failed=0
pass() {
    passed=$((passed + 1))
    echo "ok: $1"
}
fail() {
    failed=$((failed + 1))
    echo "FAILED: $1"
}
check() {
    local label="$1"
    shift
    if "$@"; then pass "$label"; else fail "$label"; fi
}
finish() {
    echo "$passed passed, $failed failed"
    exit "$((failed == 0 ? 0 : 1))"
}

windows_path() {
    local path="$1"
    echo "Z:${path//\//\\}"
}
# The machine field of a PE file's header: 8664 x64, 014c x86.
pe_machine() {
    local offset
    offset="$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')"
    od -An -tx2 -j"$((offset + 4))" -N2 "$1" | tr -d ' '
}
has_line() {
    grep -qxF -- "$2" <<<"$1"
}
lacks() {
    ! grep -qF -- "$2" <<<"$1"
}
no_key() {
    ! wine reg query "$@" >/dev/null 2>&1
}

logs="$TIDEWELL_WINE_STATE/logs"
mkdir -p "$logs"
setup_exit=0
x86=yes
if ! bash "$repo/scripts/wine.sh" x86 >/dev/null; then
    setup_exit=3
    x86=no
fi
x86_observed="$logs/x86-observed.txt"
: >"$x86_observed"
folder="$WINEPREFIX/drive_c/Program Files/Vellmoor/Tidewell"
folder_windows='C:\Program Files\Vellmoor\Tidewell'
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tidewell!.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tidewell'
settings_key='HKLM\SOFTWARE\Vellmoor\Tidewell!'
run_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
database_clsid='{6D6610ED-CF5E-11D2-9679-0000F8770C8E}'
# Every class, interface, type library and AppID of the library ends so.
identifier_tail='CF5E-11D2-9679-0000F8770C8E'

# --- The silent setup ---------------------------------------------------------------------------
check "setup.exe is x64" test "$(pe_machine "$setup")" = 8664
rc=0
wine "$(windows_path "$setup")" /S >"$logs/setup.txt" 2>&1 || rc=$?
if [ "$rc" -ne "$setup_exit" ]; then
    fail "setup.exe /S ended with $rc, not $setup_exit"
    finish
fi
pass "setup.exe /S (exit code $rc)"

stage="$build/installer/stage"
for pair in "tidewell.exe:$stage/tidewell.exe" "Registry.dll:$stage/Registry.dll" \
    "x86/Registry.dll:$stage/x86/Registry.dll" \
    "Tidewell! Help.chm:$build/app/help/Tidewell! Help.chm" \
    "Readme.txt:$build/installer/Readme.txt"; do
    check "installed ${pair%%:*} is the build's" cmp -s "$folder/${pair%%:*}" "${pair#*:}"
done
check "Uninstall.exe installed" test -f "$folder/Uninstall.exe"
check "Uninstall.exe is x64" test "$(pe_machine "$folder/Uninstall.exe")" = 8664
check "Registry.dll is x64" test "$(pe_machine "$folder/Registry.dll")" = 8664
check "x86/Registry.dll is x86" test "$(pe_machine "$folder/x86/Registry.dll")" = 014c

# Each script host creates the object, and the object itself reads its class's server from the
# registry view of the process it lives in: the host's own architecture and library, so neither a
# surrogate of the other architecture nor the other library served it.
probe="$TIDEWELL_WINE_STATE/probe.vbs"
cat >"$probe" <<EOF
Set db = CreateObject("Registry.RegistryDatabase")
Set key = db.OpenKey(&H80000000, "CLSID\\$database_clsid\\InprocServer32")
WScript.Echo CreateObject("WScript.Shell").Environment("Process")("PROCESSOR_ARCHITECTURE") & _
    " " & key.OpenValue("").Value
EOF
host_sees() {
    local host="$1"
    wine "$host" //nologo "$(windows_path "$probe")" >"$logs/probe.txt" 2>&1 || true
    tr -d '\r' <"$logs/probe.txt"
}
# What the 32-bit script host sees, for x86_checks.sh: LABEL, the line expected (empty: none).
observe32() {
    [ "$x86" = yes ] || return 0
    local seen
    seen="$(host_sees 'C:\windows\syswow64\cscript.exe')"
    printf '%s\t%s\t%s\n' "$1" "$2" "${seen//$'\n'/|}" >>"$x86_observed"
}
seen64="$(host_sees 'C:\windows\system32\cscript.exe')"
check "64-bit cscript creates Registry.RegistryDatabase from Registry.dll [$seen64]" \
    has_line "$seen64" "AMD64 $folder_windows\\Registry.dll"
observe32 "32-bit cscript creates Registry.RegistryDatabase from x86\\Registry.dll" \
    "x86 $folder_windows\\x86\\Registry.dll"

check "Start-menu shortcut to the installed program" \
    grep -qaF "$folder_windows\\tidewell.exe" "$shortcut"

wine reg query "$uninstall_key" >"$logs/uninstall-entry.txt" 2>&1 || true
entry="$(tr -d '\r' <"$logs/uninstall-entry.txt")"
for expected in "DisplayName    REG_SZ    Tidewell!" "DisplayVersion    REG_SZ    $version" \
    "Publisher    REG_SZ    Vellmoor" \
    "UninstallString    REG_SZ    \"$folder_windows\\Uninstall.exe\"" \
    "QuietUninstallString    REG_SZ    \"$folder_windows\\Uninstall.exe\" /S"; do
    check "uninstall entry: $expected" has_line "$entry" "    $expected"
done

# --- The installed program starts ----------------------------------------------------------------
# Through a file: a driver that starts the Wine server would hand it a pipe to hold open.
ui() {
    local rc=0
    wine "$(windows_path "$build/tools/uidriver/uidriver.exe")" "$@" >"$logs/ui.txt" 2>&1 || rc=$?
    tr -d '\r' <"$logs/ui.txt"
    return "$rc"
}
wine "$folder_windows\\tidewell.exe" >"$logs/program.txt" 2>&1 &
program=$!
main=""
for _ in $(seq 1 100); do
    main="$(ui windows | awk -F'\t' '$3 == "visible" && $4 == "TidewellForm" && $5 ~ / Version / {
        print $1; exit }')"
    [ -n "$main" ] && break
    # The first start's message.
    ui press "Thank You!" 1 100 >/dev/null || true
    kill -0 "$program" 2>/dev/null || break
    sleep 0.2
done
check "the installed program opens its main window" test -n "$main"
# Setup does not replace the files of a running program.
rc=0
wine "$(windows_path "$setup")" /S >"$logs/setup-running.txt" 2>&1 || rc=$?
check "setup.exe /S refuses while the program runs (exit code $rc)" test "$rc" -eq 2
if [ -n "$main" ]; then
    ui close "$main" >/dev/null || true
    ui press "Close Tidewell?" 6 3000 >/dev/null || true
fi
for _ in $(seq 1 100); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$program" 2>/dev/null; then
    fail "the program ends when its main window is closed"
    kill "$program" 2>/dev/null || true
fi
wait "$program" 2>/dev/null || true
check "the first start made the settings key" wine reg query "$settings_key" >/dev/null 2>&1

# Setup again over the installed program: it keeps the settings and both registrations.
rc=0
wine "$(windows_path "$setup")" /S >"$logs/setup-again.txt" 2>&1 || rc=$?
check "setup.exe /S over the installed program (exit code $rc)" test "$rc" -eq "$setup_exit"
check "the settings stay" wine reg query "$settings_key" /v NextRun >/dev/null 2>&1
seen64="$(host_sees 'C:\windows\system32\cscript.exe')"
check "still registered for 64-bit clients" \
    has_line "$seen64" "AMD64 $folder_windows\\Registry.dll"
observe32 "still registered for 32-bit clients" "x86 $folder_windows\\x86\\Registry.dll"

# --- What the uninstaller must remove and keep --------------------------------------------------
mkdir -p "$folder/Registry Backup"
printf '%s\r\n' 'REGEDIT4' '' \
    '[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run]' \
    '"Old"="c:\\old.exe"' >"$folder/Registry Backup/Registry Backup.Reg"
cp "$folder/Registry Backup/Registry Backup.Reg" "$logs/backup.reg"
# What the reminder stores when the program is to start with Windows.
wine reg add "$run_key" /v "PC Maintenance" /f \
    /d 'c:\Program Files\Vellmoor\Tidewell\tidewell.exe' >/dev/null 2>&1
# Neighbours that are not the program's.
wine reg add "$run_key" /v "Someone Else" /d 'c:\other\other.exe' /f >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\Vellmoor\Another Product' /v Setting /d kept /f >/dev/null 2>&1

# --- The silent uninstall -----------------------------------------------------------------------
# The uninstaller copies itself to the temporary folder, starts the copy and returns at once: the
# prefix going idle (the server ending) is the copy's end, and flushes the registry files.
rc=0
wine "$folder_windows\\Uninstall.exe" /S >"$logs/uninstall.txt" 2>&1 || rc=$?
check "Uninstall.exe /S starts" test "$rc" -eq 0
if ! timeout 120 wineserver -w; then
    fail "the uninstaller ends within two minutes"
fi

left="$(cd "$folder" 2>/dev/null && find . -mindepth 1 | sort)"
check "only the backup folder is left [${left//$'\n'/, }]" \
    test "$left" = "$(printf './Registry Backup\n./Registry Backup/Registry Backup.Reg')"
check "the backup file is untouched" cmp -s "$folder/Registry Backup/Registry Backup.Reg" \
    "$logs/backup.reg"
check "the shortcut is gone" test ! -e "$shortcut"
# Both views, every key: classes, ProgIDs, AppIDs, interfaces, the type library, the settings,
# the uninstall entry.
for hive in system.reg user.reg; do
    check "no identifier of the library left in $hive" \
        test "$(grep -ciF "$identifier_tail" "$WINEPREFIX/$hive")" -eq 0
    check "no ProgID left in $hive" \
        test "$(grep -ciF 'Registry.Registry' "$WINEPREFIX/$hive")" -eq 0
    check "no Tidewell key or value left in $hive" \
        test "$(grep -ciF 'Tidewell' "$WINEPREFIX/$hive")" -eq 0
done

seen64="$(host_sees 'C:\windows\system32\cscript.exe')"
check "64-bit cscript no longer creates the object" test -z "$seen64"
observe32 "32-bit cscript no longer creates the object" ""
check "the settings key is gone" no_key "$settings_key"
check "the uninstall entry is gone" no_key "$uninstall_key"
wine reg query "$run_key" >"$logs/run.txt" 2>&1 || true
run_entries="$(tr -d '\r' <"$logs/run.txt")"
check "the start-up entry is gone" lacks "$run_entries" "PC Maintenance"
check "other start-up entries stay" \
    has_line "$run_entries" "    Someone Else    REG_SZ    c:\other\other.exe"
check "another Vellmoor product's key stays" \
    wine reg query 'HKLM\SOFTWARE\Vellmoor\Another Product' /v Setting >/dev/null 2>&1

finish
