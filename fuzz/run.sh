#!/usr/bin/env bash
# Runs a fuzzer for a bounded time: fuzz/run.sh [SECONDS] [TARGET] (default 60 s, wall_parser).
#   wall_parser      brusk_fuzz_wall_parser: wall files, TOML and JSON (seeds in fuzz/corpus)
#   plain_wall_line  brusk_fuzz_plain_wall_line: the batch fast path against the full reader
#                    (seeds in fuzz/corpus-plain, dictionary fuzz/plain_wall_line.dict)
#   zone_parser      brusk_fuzz_zone_parser: zone files, TOML and JSON, with the wall files of
#                    fuzz/corpus-zone (seeds there too)
#   profile_reader   brusk_fuzz_profile_reader: profile CSV files (seeds in fuzz/corpus-profile)
#   requirements     brusk_fuzz_requirements: requirement files, evaluated and written out
#                    (seeds in fuzz/corpus-requirements)
#   climate_reader   brusk_fuzz_climate_reader: monthly climate CSV files, read with and
#                    without a humidity class and assessed for moisture (seeds in
#                    fuzz/corpus-climate)
#   all              each of them in turn, SECONDS each (what CI runs)
# Builds it with clang in $BRUSK_FUZZ_BUILD_DIR (default build-fuzz) first. New corpus entries go
# to that build folder; any crashing input is kept in fuzz/regressions/ (named plain-*, zone-*,
# profile-*, requirements-* and climate-* for the others), which the tests replay. Extra libFuzzer flags:
# $BRUSK_FUZZ_FLAGS.
set -euo pipefail
seconds=${1:-60}
target=${2:-wall_parser}
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BRUSK_FUZZ_BUILD_DIR:-$repo/build-fuzz}

if [[ "$target" == all ]]; then
  for each in wall_parser plain_wall_line zone_parser profile_reader requirements climate_reader; do
    "$0" "$seconds" "$each"
  done
  exit 0
fi

case "$target" in
  wall_parser | brusk_fuzz_wall_parser)
    name=brusk_fuzz_wall_parser
    seeds=$repo/fuzz/corpus
    work_corpus=$build/fuzz-corpus
    artifacts=$repo/fuzz/regressions/
    flags=(-max_len=8192)
    ;;
  plain_wall_line | brusk_fuzz_plain_wall_line)
    name=brusk_fuzz_plain_wall_line
    seeds=$repo/fuzz/corpus-plain
    work_corpus=$build/fuzz-corpus-plain
    # crash-* files are ignored by git outside fuzz/regressions; the prefix keeps these tracked.
    artifacts=$repo/fuzz/regressions/plain-
    flags=(-max_len=4096 -dict="$repo/fuzz/plain_wall_line.dict")
    ;;
  zone_parser | brusk_fuzz_zone_parser)
    name=brusk_fuzz_zone_parser
    seeds=$repo/fuzz/corpus-zone
    work_corpus=$build/fuzz-corpus-zone
    artifacts=$repo/fuzz/regressions/zone-
    flags=(-max_len=8192)
    ;;
  profile_reader | brusk_fuzz_profile_reader)
    name=brusk_fuzz_profile_reader
    seeds=$repo/fuzz/corpus-profile
    work_corpus=$build/fuzz-corpus-profile
    artifacts=$repo/fuzz/regressions/profile-
    flags=(-max_len=8192)
    ;;
  requirements | brusk_fuzz_requirements)
    name=brusk_fuzz_requirements
    seeds=$repo/fuzz/corpus-requirements
    work_corpus=$build/fuzz-corpus-requirements
    artifacts=$repo/fuzz/regressions/requirements-
    flags=(-max_len=8192)
    ;;
  climate_reader | brusk_fuzz_climate_reader)
    name=brusk_fuzz_climate_reader
    seeds=$repo/fuzz/corpus-climate
    work_corpus=$build/fuzz-corpus-climate
    artifacts=$repo/fuzz/regressions/climate-
    flags=(-max_len=4096)
    ;;
  *)
    echo "usage: fuzz/run.sh [SECONDS] [wall_parser|plain_wall_line|zone_parser|profile_reader|requirements|climate_reader|all]" >&2
    exit 2
    ;;
esac

if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$repo" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DBRUSK_BUILD_FUZZERS=ON \
    -DBRUSK_BUILD_TESTS=OFF -DBRUSK_BUILD_VALIDATION=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target "$name" -j 2

fuzzer=$(find "$build" -name "$name" -type f -perm -u+x | head -n 1)
mkdir -p "$work_corpus" "$repo/fuzz/regressions"
# shellcheck disable=SC2086 # BRUSK_FUZZ_FLAGS holds several flags
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "${flags[@]}" \
  -print_final_stats=1 -artifact_prefix="$artifacts" ${BRUSK_FUZZ_FLAGS:-} \
  "$work_corpus" "$seeds"
