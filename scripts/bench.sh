#!/usr/bin/env bash
# Runs every benchmark program and prints its figures.
set -euo pipefail
BUILD="${1:-build}"
for b in "$BUILD"/bin/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.2
done
