#!/usr/bin/env bash
# Builds everything with clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# build-sanitize/ and runs the whole test suite there, the fuzz targets of fuzz/
# included (a bounded number of runs each). Any sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DTARDESK_SANITIZE=ON -DTARDESK_FUZZ=ON -DTARDESK_BENCHMARKS=OFF -DTARDESK_WERROR=ON
cmake --build build-sanitize --parallel "$(nproc)"
# Stop at the first report of any kind; leaks are reported at exit.
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1
# Only a leak inside the system libpq is suppressed, never one of ours.
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer
ctest --test-dir build-sanitize --output-on-failure --parallel "$(nproc)" --timeout 900
