#!/usr/bin/env bash
# The one way this project uses Wine: a private prefix under the build tree, a private home,
# no crash dialog, unmanaged X11 windows, and a private Xvfb when no display is given.
#
#   wine.sh run PROGRAM.exe [ARGS...]   run a Windows program, exit with its exit code
#   wine.sh traced FILE PROGRAM.exe [ARGS...]
#                                       the same, with its standard error (where Wine writes the
#                                       debug channels of every program it starts) in FILE, whose
#                                       Windows path the program finds in TIDEWELL_WINE_TRACE
#   wine.sh exec COMMAND [ARGS...]      run any command (wine, wineserver, cscript...) in the env
#   wine.sh install [BUILD_DIR]         copy the program (and register the library) in the prefix
#   wine.sh prefix                      print the prefix path (creating the prefix if needed)
#   wine.sh flush                       wait for the wineserver, so the registry files are written
#   wine.sh reset                       delete the prefix and its home
#   wine.sh x86                         exit 0 if this host runs 32-bit Windows programs; else
#                                       print why not and exit 1
#   wine.sh without-x86 COMMAND [ARGS...]
#                                       run a command on a host made unable to (root: the 32-bit
#                                       loader fails with "Exec format error" in its own mounts)
#
# TIDEWELL_NO_WIN32_X86=1 declares the host unable to run 32-bit Windows programs. With
# TIDEWELL_NEEDS_X86=1, run, traced, exec and install skip on such a host: they print the reason
# and exit 77 (the SKIP_RETURN_CODE of the tests that need one).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/.." && pwd)"
build="${TIDEWELL_BUILD_DIR:-$repo/build/windows}"
case "$build" in /*) ;; *) build="$repo/$build" ;; esac
state="${TIDEWELL_WINE_STATE:-$build/wine}"
case "$state" in /*) ;; *) state="$repo/$state" ;; esac

export WINEPREFIX="$state/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
# Wine's Recycle Bin is the host's Trash: keep it, and everything else, out of the real home.
export HOME="$state/home"
export XDG_DATA_HOME="$HOME/.local/share"
export XDG_CONFIG_HOME="$HOME/.config"
export XDG_CACHE_HOME="$HOME/.cache"
export XDG_RUNTIME_DIR="$HOME/.run"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# The prefix is 64-bit, so "wine TOOL" must start the 64-bit tool (regsvr32, cscript, reg see the
# 64-bit registry view). Debian's wine wrapper prefers the 32-bit loader once wine32 is installed;
# the 64-bit loader still runs 32-bit programs (C:\windows\syswow64\...) through the 32-bit one.
if [ -x /usr/lib/wine/wine64 ]; then
    wine_bin=/usr/lib/wine/wine64
    export WINELOADER="$wine_bin"
else
    wine_bin="$(command -v wine64 || command -v wine)"
fi
# Commands run by "exec" find the same loader as "wine".
if [ ! -x "$state/bin/wine" ]; then
    mkdir -p "$state/bin"
    printf '#!/bin/sh\nexec "%s" "$@"\n' "$wine_bin" >"$state/bin/wine.$$"
    chmod +x "$state/bin/wine.$$"
    mv -f "$state/bin/wine.$$" "$state/bin/wine"
fi
export PATH="$state/bin:$PATH"

# The 32-bit half of Wine: its loader must start. A kernel without 32-bit support answers
# "Exec format error"; a host without wine32:i386 has no loader.
x86_loader=/usr/lib/wine/wine
x86_unsupported_reason() {
    if [ "${TIDEWELL_NO_WIN32_X86:-}" = 1 ]; then
        echo "TIDEWELL_NO_WIN32_X86=1 declares that this host cannot run 32-bit Windows programs"
    elif [ -n "${TIDEWELL_WIN32_X86:-}" ]; then
        # Found out once by scripts/test.sh for the whole run.
        [ "$TIDEWELL_WIN32_X86" = yes ] || echo "$TIDEWELL_WIN32_X86"
    elif [ ! -x "$x86_loader" ]; then
        echo "no 32-bit Wine loader ($x86_loader, package wine32:i386)"
    else
        local out
        if ! out="$("$x86_loader" --version 2>&1)"; then
            echo "$x86_loader --version: $(echo "$out" | head -n 1)"
        fi
    fi
}
if [ "${TIDEWELL_NEEDS_X86:-}" = 1 ]; then
    case "${1:-}" in
        run | traced | exec | install)
            reason="$(x86_unsupported_reason)"
            if [ -n "$reason" ]; then
                echo "SKIPPED: needs a 32-bit Windows program; $reason"
                exit 77
            fi
            ;;
    esac
fi

xvfb_pid=""
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        # Let Wine's desktop processes leave before their display goes away.
        timeout 10 wineserver -w 2>/dev/null || true
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT

ensure_display() {
    if [ -n "${DISPLAY:-}" ]; then
        return
    fi
    # Xvfb picks a free display itself and names it once it listens: tests started at the same
    # moment never share one.
    mkdir -p "$state"
    local named="$state/display.$$"
    : >"$named"
    Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp >"$named" 2>/dev/null &
    xvfb_pid=$!
    local n=""
    for _ in $(seq 1 200); do
        n="$(tr -dc '0-9' <"$named" || true)"
        [ -n "$n" ] && break
        sleep 0.05
    done
    rm -f "$named"
    export DISPLAY=":$n"
}

ensure_prefix() {
    mkdir -p "$state"
    # Parallel tests share one prefix: only one of them creates it.
    exec 9>"$state/prefix.lock"
    flock 9
    if [ ! -f "$WINEPREFIX/.tidewell-ready" ]; then
        rm -rf "$WINEPREFIX"
        "$wine_bin" wineboot -i >/dev/null 2>&1 || true
        # A crash must end the program at once instead of waiting in winedbg's dialog.
        "$wine_bin" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
        # Unmanaged windows close in milliseconds instead of seconds without a window manager.
        "$wine_bin" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        # Wine's own Marlett (caption buttons) and Tahoma (dialog font), so windows look as on Windows.
        for font in marlett.ttf tahoma.ttf tahomabd.ttf; do
            if [ -f "/usr/share/wine/fonts/$font" ]; then
                cp -f "/usr/share/wine/fonts/$font" "$WINEPREFIX/drive_c/windows/Fonts/"
            fi
        done
        wineserver -w || true
        touch "$WINEPREFIX/.tidewell-ready"
    fi
    flock -u 9
    exec 9>&-
}

# The folder the program's own registry entries name.
install_dir_unix() {
    echo "$WINEPREFIX/drive_c/Program Files/Vellmoor/Tidewell"
}

install_build() {
    local from="${1:-$build}"
    local to
    to="$(install_dir_unix)"
    mkdir -p "$to"
    [ -f "$from/app/tidewell.exe" ] && cp -f "$from/app/tidewell.exe" "$to/"
    [ -f "$from/app/help/Tidewell! Help.chm" ] && cp -f "$from/app/help/Tidewell! Help.chm" "$to/"
    if [ -f "$from/registry/Registry.dll" ]; then
        cp -f "$from/registry/Registry.dll" "$to/"
        "$wine_bin" regsvr32 /s 'C:\Program Files\Vellmoor\Tidewell\Registry.dll'
    fi
    echo "$to"
}

cmd="${1:-}"
[ $# -gt 0 ] && shift
case "$cmd" in
    run)
        ensure_display
        ensure_prefix
        rc=0
        "$wine_bin" "$@" || rc=$?
        exit "$rc"
        ;;
    traced)
        ensure_display
        ensure_prefix
        trace="$1"
        shift
        case "$trace" in /*) ;; *) trace="$PWD/$trace" ;; esac
        rm -f "$trace"
        : >"$trace"
        export TIDEWELL_WINE_TRACE="Z:${trace//\//\\}"
        rc=0
        "$wine_bin" "$@" 2>"$trace" || rc=$?
        exit "$rc"
        ;;
    exec)
        ensure_display
        ensure_prefix
        rc=0
        "$@" || rc=$?
        exit "$rc"
        ;;
    install)
        ensure_display
        ensure_prefix
        install_build "$@"
        ;;
    prefix)
        ensure_prefix
        echo "$WINEPREFIX"
        ;;
    flush)
        wineserver -w || true
        ;;
    reset)
        wineserver -k 2>/dev/null || true
        rm -rf "$state"
        ;;
    x86)
        reason="$(x86_unsupported_reason)"
        if [ -n "$reason" ]; then
            echo "$reason"
            exit 1
        fi
        echo "this host runs 32-bit Windows programs"
        ;;
    without-x86)
        export TIDEWELL_NO_WIN32_X86=1
        if [ -n "${TIDEWELL_WITHOUT_X86_INSIDE:-}" ]; then
            exec "$@"
        fi
        export TIDEWELL_WITHOUT_X86_INSIDE=1
        if [ -x "$x86_loader" ] && [ "$(id -u)" -eq 0 ] && unshare --mount true 2>/dev/null; then
            # An ELF header of no known machine: the kernel refuses it as it refuses an i386
            # program where it has no 32-bit support.
            fake="$(mktemp /tmp/tidewell-no-x86.XXXXXX)"
            { printf '\177ELF\001\001\001'; head -c 57 /dev/zero; } >"$fake"
            chmod 755 "$fake"
            rc=0
            unshare --mount sh -c \
                'mount --bind "$0" "$1" && shift && exec "$@"' "$fake" "$x86_loader" "$@" || rc=$?
            rm -f "$fake"
            exit "$rc"
        fi
        echo "wine.sh: the 32-bit loader stays usable here (not root, no mount namespace, or no wine32); only declared" >&2
        exec "$@"
        ;;
    *)
        sed -n '2,15p' "${BASH_SOURCE[0]}" >&2
        exit 2
        ;;
esac
