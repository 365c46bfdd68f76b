#!/usr/bin/env bash
# Installs the Debian packages that Tarnwick needs, where they are missing:
#   install_dependencies.sh build   what building the tool needs
#   install_dependencies.sh         all that the tests and benchmarks need too
set -euo pipefail

packages=(cmake g++)
if [ "${1:-all}" != build ]; then
  packages+=(googletest libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
             clang libclang-rt-14-dev ffmpeg
             g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386)
fi

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
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq \
  "${missing[@]}" >/dev/null
