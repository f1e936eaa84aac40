#!/usr/bin/env bash
# Sets up what is missing, builds, runs the benchmarks (medians of repeated runs) and writes
# BENCH.md: nanoseconds per sampled pixel of the computation and of its floor (the same host
# calls and nothing else), their ratio, the in-memory histogram for scale, and one paint.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# The floor's speed depends on where the images and buffers land in memory, which changes from
# process to process; so the benchmark runs in several processes and the table takes medians
# over all their repetitions.
rm -f build/bench-*.json
for run in $(seq "${PROCESSES:-5}"); do
    build/bench/bench_histogram --benchmark_repetitions="${REPETITIONS:-3}" --benchmark_min_time=0.3 \
        --benchmark_enable_random_interleaving=true \
        --benchmark_out="build/bench-$run.json" --benchmark_out_format=json >/dev/null
done
python3 scripts/bench_table.py build/bench-*.json > BENCH.md
cat BENCH.md
