#!/usr/bin/env bash
# The checked run: builds everything (benchmarks left out) with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/, with the
# libFuzzer targets, and runs the whole test suite there. Any report of the
# sanitizers fails the run. scripts/fuzz.sh then runs the fuzz targets.
set -euo pipefail
cd "$(dirname "$0")/.."
# Configured every time, so that an old build-asan/ takes today's options; the
# compiler is chosen when the directory is first made.
CC=clang CXX=clang++ cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug \
  -DQUENDRIX_SANITIZE=ON -DQUENDRIX_FUZZ=ON -DQUENDRIX_BENCH=OFF >/dev/null
start=$SECONDS
cmake --build build-asan -j"$(nproc)" -- --no-print-directory
echo "== sanitized build: $((SECONDS - start)) s"
source scripts/sanitizer-env.sh
export QT_QPA_PLATFORM=offscreen
cd build-asan
# As in the ordinary run, four suites at a time: they mostly wait on the line.
ctest --output-on-failure -j4 --timeout 600
