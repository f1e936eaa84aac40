#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test: the plain build, the same tests under
# AddressSanitizer and UBSan (any undefined behaviour fails the run), and the checks of the
# Windows module.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

echo "== tests"
ctest --test-dir build --output-on-failure -j "$(nproc)"

echo "== tests under AddressSanitizer and UBSan"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
