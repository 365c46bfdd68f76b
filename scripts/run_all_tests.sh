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

echo "== native under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== fuzzing (clang, libFuzzer): each target for 30 s from a scratch copy of its seeds"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARNWICK_FUZZ=ON -DTARNWICK_TESTS=OFF >/dev/null
cmake --build build-fuzz -j"$jobs"
fuzz_scratch=$(mktemp -d)
trap 'rm -rf "$fuzz_scratch"' EXIT
for target in build-fuzz/fuzz/fuzz_*; do
  name=$(basename "$target")
  corpus="$fuzz_scratch/$name"
  cp -r "fuzz/corpus/${name#fuzz_}" "$corpus"
  echo "-- $name"
  # A crash, a failed check or a leak ends the run with a nonzero status, and so the script.
  TMPDIR="$fuzz_scratch" "$target" -max_total_time=30 -print_final_stats=1 \
    -artifact_prefix="$fuzz_scratch/$name-" "$corpus" 2>"$fuzz_scratch/$name.log" || {
    tail -n 60 "$fuzz_scratch/$name.log"
    echo "$name failed; the input that shows it is copied to build-fuzz/" >&2
    cp "$fuzz_scratch/$name"-* build-fuzz/ 2>/dev/null || true
    exit 1
  }
  grep -E "^(#[0-9]+ +DONE|stat::number_of_executed_units)" "$fuzz_scratch/$name.log" || true
done

echo "== Windows (under wine)"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake >/dev/null
cmake --build build-win -j"$jobs"
ctest --test-dir build-win --output-on-failure -j"$jobs"
