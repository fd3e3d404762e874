#!/usr/bin/env bash
# Runs the wall-parser fuzzer for a bounded time: fuzz/run.sh [SECONDS] (default 60).
# Builds it with clang in $BRUSK_FUZZ_BUILD_DIR (default build-fuzz) first. New corpus entries go
# to that build folder; any crashing input is kept in fuzz/regressions/, which the tests replay.
set -euo pipefail
seconds=${1:-60}
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BRUSK_FUZZ_BUILD_DIR:-$repo/build-fuzz}

if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$repo" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DBRUSK_BUILD_FUZZERS=ON \
    -DBRUSK_BUILD_TESTS=OFF -DBRUSK_BUILD_VALIDATION=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target brusk_fuzz_wall_parser -j 2

fuzzer=$(find "$build" -name brusk_fuzz_wall_parser -type f -perm -u+x | head -n 1)
work_corpus="$build/fuzz-corpus"
mkdir -p "$work_corpus" "$repo/fuzz/regressions"
"$fuzzer" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$repo/fuzz/regressions/" \
  "$work_corpus" "$repo/fuzz/corpus"
