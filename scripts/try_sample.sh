#!/usr/bin/env bash
# Builds the tool, generates a damaged movie in sample/ and rescues it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install_dependencies.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
mkdir -p sample
build/tools/make_damaged_movie sample/take.mov --frames 25 --frame-bytes 200000
build/tarnwick 2048 1152 25000 sample/take.mov
