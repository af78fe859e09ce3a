#!/usr/bin/env bash
# Runs every benchmark once, briefly, without judging the times: the CI's
# check that they build and still run. Figures belong in bench/README.md,
# measured on a quiet machine with the full runs.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD_DIR:-build}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for b in "$BUILD"/bench/bench_*; do
    [ -x "$b" ] && [ -f "$b" ] || continue
    echo "== $(basename "$b")"
    "$b" --benchmark_min_time=0.01
done
echo "== startup.sh"
bench/startup.sh 1
