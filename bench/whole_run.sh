#!/usr/bin/env bash
# A whole run over a damaged movie of about 1.5 GB (frames of about 400 KB with frame headers),
# from the page cache: tarnwick against `cat FILE > /dev/null` in five alternating pairs, and
# against a scan that reads four bytes per stream call. The movie is kept between runs.
#
#   bench/whole_run.sh [BUILD_DIR]        (default: build-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
. bench/common.sh
tool="$build/tarnwick"

movie=$(prepare_movie whole_run.mov --frames 3750 --frame-bytes 409600 --junk-bytes 1000)
echo "whole run: $movie, $(($(stat -c %s "$movie") / 1000000)) MB"

runs=() cats=() ratios=() peak=0
for pair in 1 2 3 4 5; do
    read -r run rss < <(measure "$tool" 1920 1080 25000 "$movie")
    read -r cat _ < <(measure cat "$movie")
    runs+=("$run") cats+=("$cat")
    ratios+=("$(awk -v r="$run" -v c="$cat" 'BEGIN { printf "%.3f", r / c }')")
    peak=$((rss > peak ? rss : peak))
    echo "  pair $pair: tarnwick ${run}s  cat ${cat}s  peak ${rss} KiB"
done
read -r baseline _ < <(measure "$build/bench/four_byte_scan" "$movie")

run=$(median "${runs[@]}")
echo "tarnwick median ${run}s, cat median $(median "${cats[@]}")s"
echo "median run/cat:            $(median "${ratios[@]}")"
echo "four-byte baseline:        ${baseline}s = $(awk -v b="$baseline" -v r="$run" 'BEGIN { printf "%.1f", b / r }')x the run"
echo "peak resident memory:      $((peak / 1024)) MiB ($peak KiB)"
