#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tarnwick needs, where they are missing.
set -euo pipefail

packages=(cmake g++ googletest libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
          clang libclang-rt-14-dev ffmpeg
          g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386)

missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${as_root[@]}" dpkg --add-architecture i386
fi
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
