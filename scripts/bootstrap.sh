#!/usr/bin/env bash
# Installs every Debian package the builds and tests need; quick when all are present.
set -euo pipefail

packages=(
  cmake ninja-build g++ git
  googletest libgtest-dev
  mingw-w64 mingw-w64-tools g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine wine64 wine32:i386 libwine-dev fonts-wine
  nsis
  xvfb xauth x11-utils imagemagick
  fp-utils
  clang-14 libclang-rt-14-dev clang-tidy-14
)

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
  # The 32-bit library is tested under Wine's 32-bit half, an i386 package.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
