#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test: the plain build (with the checks of the
# Windows module and a valgrind run), the same tests under AddressSanitizer and UBSan (any
# undefined behaviour fails the run), and a minute of fuzzing host event sequences.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

echo "== tests"
ctest --test-dir build --output-on-failure -j "$(nproc)"

echo "== tests under AddressSanitizer and UBSan"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$(nproc)"

echo "== fuzzing host event sequences for ${FUZZ_SECONDS:=60} seconds"
work=build-fuzz/corpus-work
rm -rf "$work" && mkdir -p "$work"
# New inputs go to the work folder; the committed seeds are only read. Any finding fails the run
# and leaves its reproducer in build-fuzz/ (add it to fuzz/corpus with the fix).
build-fuzz/fuzz_host_events -max_total_time="$FUZZ_SECONDS" -max_len=512 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/ "$work" fuzz/corpus 2>build-fuzz/fuzz.log ||
    { tail -n 60 build-fuzz/fuzz.log; echo "the fuzzer found a failure" >&2; exit 1; }
grep -E '^stat::number_of_executed_units' build-fuzz/fuzz.log
echo "fuzzing: 1 passed, 0 failed"
