#!/usr/bin/env bash
# Builds the tool, generates a damaged movie in sample/ and rescues it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install_dependencies.sh build
cmake -S . -B build-sample -DCMAKE_BUILD_TYPE=Release -DTARNWICK_TESTS=OFF >/dev/null
cmake --build build-sample -j"$(nproc)" >/dev/null
mkdir -p sample
build-sample/tools/make_damaged_movie sample/take.mov --frames 25 --frame-bytes 200000
build-sample/tarnwick 2048 1152 25000 sample/take.mov
