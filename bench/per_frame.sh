#!/usr/bin/env bash
# One million small frames, run to completion with the console output to /dev/null: time per
# frame and peak resident memory. The movie is kept between runs.
#
#   bench/per_frame.sh [BUILD_DIR]        (default: build-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
. bench/common.sh
tool="$build/tarnwick"

frames=1000000
movie=$(prepare_movie per_frame.mov --frames $frames --frame-bytes 64 --junk-bytes 16)
echo "per frame: $movie, $frames frames, $(($(stat -c %s "$movie") / 1000000)) MB"

read -r seconds rss < <(measure "$tool" 1920 1080 25000 "$movie")
# The first frame found is not placed in the movie.
echo "run ${seconds}s: $(awk -v s="$seconds" -v n=$frames 'BEGIN { printf "%.0f", s * 1e9 / (n - 1) }') ns per frame"
echo "peak resident memory: $((rss / 1024)) MiB ($rss KiB)"
