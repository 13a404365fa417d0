#!/usr/bin/env bash
# Builds and runs every benchmark of bench/ in the given build folder (default: build) and reports each
# one's numbers. Fails when a benchmark misses its target.
set -euo pipefail
build="${1:-build}"
cmake --build "$build" --target benches
status=0
for bench in "$build"/bench/bench_*; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    "$bench" || status=1
done
exit $status
