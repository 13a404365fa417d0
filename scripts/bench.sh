#!/usr/bin/env bash
# Builds and runs every benchmark of bench/ in the given build folder (default: build), reports each one's
# numbers, and ends with one table of every headline ratio against its target. Runs without a display
# (the offscreen platform, as the tests do). Fails when a benchmark misses its target or fails to run.
set -euo pipefail
build="${1:-build}"
cmake --build "$build" --target benches
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
summary=$(mktemp)
trap 'rm -f "$summary"' EXIT
export CORVANE_BENCH_SUMMARY="$summary"
status=0
failed=()
for bench in "$build"/bench/bench_*; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    if ! "$bench"; then
        status=1
        failed+=("$(basename "$bench")")
    fi
done
echo
echo "== summary (ours against the peer as a ratio, unless the row names another unit)"
awk -F '\t' '{ printf "  %-58s %8s   target %-8s %s\n", $1, $2, $3, $4 }' "$summary"
if [ ${#failed[@]} -gt 0 ]; then
    echo "  missed a target or failed: ${failed[*]}"
fi
exit $status
