#!/bin/sh
# Prints how many compilers a build may run at once here: one per core, and no more than the
# memory available holds, at least one. The Quick start passes it to `cmake --build -j`: an
# unbounded -j starts a compiler per source at once (some 450 MB each for the heaviest sources),
# which swaps or fails on a machine with less memory than cores times that.
set -eu
# Memory a compiler may take on the heaviest sources (the engine's kernels, the Python module)
# [KiB], with a margin: measured about 450 MB.
per_job_kib=$((600 * 1024))
cores=$(nproc 2>/dev/null || getconf _NPROCESSORS_ONLN 2>/dev/null || echo 1)
jobs=$cores
available_kib=$(awk '/^MemAvailable:/ { print $2 }' /proc/meminfo 2>/dev/null || true)
if [ -n "$available_kib" ]; then
  by_memory=$((available_kib / per_job_kib))
  if [ "$by_memory" -lt "$jobs" ]; then jobs=$by_memory; fi
fi
if [ "$jobs" -lt 1 ]; then jobs=1; fi
echo "$jobs"
