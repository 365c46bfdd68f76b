#!/usr/bin/env bash
# Every benchmark: builds the tool and the benchmarks into build-bench/, then runs the frame
# search's micro-benchmarks, the whole run and the per-frame run.
#
#   bench/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-bench
bash scripts/install_dependencies.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARNWICK_BENCH=ON -DTARNWICK_TESTS=OFF > /dev/null
cmake --build "$build" -j2 > /dev/null

"$build/bench/frame_search_bench" --benchmark_counters_tabular=true
bash bench/whole_run.sh "$build"
bash bench/per_frame.sh "$build"
