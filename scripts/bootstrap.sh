#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, in one apt call; quick when all are
# present. Extra package names given as arguments come in the same call (tidy.sh: clang-tidy-14,
# run.sh: imagemagick for its screenshot).
#
# Wine's 32-bit half (wine32:i386) comes only where this host can start 32-bit programs: on a
# kernel without that support its packages' install scripts fail ("Exec format error"), and the
# 32-bit checks are skipped anyway. TIDEWELL_NO_WIN32_X86=1 declares such a host.
set -euo pipefail

packages=(
  cmake ninja-build g++
  googletest libgtest-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
  wine wine64 libwine-dev fonts-wine
  nsis fp-utils
  xvfb
  clang-14 libclang-rt-14-dev
  "$@"
)

# A 93-byte i386 program that only exits: whether the kernel starts it is the question.
runs_32bit_programs() {
  [ "${TIDEWELL_NO_WIN32_X86:-}" = 1 ] && return 1
  local probe rc=0
  probe="$(mktemp)"
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || rc=$?
  rm -f "$probe"
  return "$rc"
}
if runs_32bit_programs; then
  packages+=(wine32:i386)
else
  echo "bootstrap: no 32-bit programs here (or TIDEWELL_NO_WIN32_X86=1): wine32:i386 left out; 32-bit checks will be skipped"
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
