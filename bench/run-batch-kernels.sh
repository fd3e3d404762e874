#!/usr/bin/env bash
# Times `brusk batch` end to end with --kernel vector and --kernel scalar on one binary, the two
# interleaved round by round so that a change in the machine's load hits both alike. Prints
# every run (wall-clock, user and system seconds, the load average when it started) and the
# medians. Each run writes a new CSV file, removed before the next (untimed).
#
#   bench/run-batch-kernels.sh BRUSK WALLS.jsonl [ROUNDS] [OUTPUT_DIR]
#
# ROUNDS defaults to 3, OUTPUT_DIR to /dev/shm (no disk in the figures). Extra arguments for
# brusk batch go in $BRUSK_BATCH_ARGS, e.g. BRUSK_BATCH_ARGS="--jobs 1".
set -euo pipefail
[[ $# -ge 2 ]] || { sed -n '2,10p' "$0" >&2; exit 2; }
program=$1 walls=$2 rounds=${3:-3} output_dir=${4:-/dev/shm}
output=$output_dir/brusk-batch-kernels-$$.csv
trap 'rm -f "$output"' EXIT
declare -A wall
TIMEFORMAT='%R %U %S'
for ((round = 1; round <= rounds; ++round)); do
  for kernel in vector scalar; do
    rm -f "$output"
    load=$(cut -d' ' -f1 /proc/loadavg)
    # shellcheck disable=SC2086  # the extra arguments are words
    times=$({ time "$program" batch "$walls" --kernel "$kernel" ${BRUSK_BATCH_ARGS:-} \
      -o "$output" >/dev/null; } 2>&1)
    read -r real user system <<<"$times"
    echo "round $round  $kernel  wall ${real} s  user ${user} s  sys ${system} s  load $load"
    wall[$kernel]+="$real "
  done
done
median() { tr ' ' '\n' | grep . | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
vector=$(median <<<"${wall[vector]}") scalar=$(median <<<"${wall[scalar]}")
echo "median wall-clock: vector $vector s, scalar $scalar s," \
  "vector/scalar $(awk -v v="$vector" -v s="$scalar" 'BEGIN {printf "%.3f", v / s}')"
