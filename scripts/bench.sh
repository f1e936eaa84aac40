#!/usr/bin/env bash
# Sets up what is missing, builds, runs the benchmarks (median of repeated runs) and writes
# BENCH.md: nanoseconds per sampled pixel of the computation and of its floor (the same host
# calls and nothing else), their ratio, the in-memory histogram for scale, and one paint.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build/bench/bench_histogram --benchmark_repetitions="${REPETITIONS:-9}" --benchmark_min_time=0.3 \
    --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true --benchmark_out=build/bench.json --benchmark_out_format=json >/dev/null
python3 scripts/bench_table.py build/bench.json > BENCH.md
cat BENCH.md
