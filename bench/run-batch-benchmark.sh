#!/bin/sh
# Builds brusk in Release and times `brusk batch` end to end on one million walls (JSON Lines in,
# CSV out). The wall file is generated once, in the build folder, on the first run.
#
#   bench/run-batch-benchmark.sh [BUILD_DIR]     (default: ../build-batch-bench)
#
# Set BRUSK_BATCH_PROGRAM=/path/to/other/brusk to time another build in the same way.
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$source_dir/../build-batch-bench}
cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DBRUSK_BUILD_BENCHMARKS=ON \
  -DBRUSK_BUILD_TESTS=OFF -DBRUSK_BUILD_VALIDATION=OFF >/dev/null
cmake --build "$build_dir" -j2 --target brusk brusk_batch_benchmark
exec "$build_dir/bench/brusk_batch_benchmark"
