#!/usr/bin/env bash
# The checked run: builds everything (benchmarks left out) with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/, with the
# libFuzzer targets, and runs the whole test suite there. Any report of the
# sanitizers fails the run. scripts/fuzz.sh then runs the fuzz targets.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
if [ ! -f build-asan/CMakeCache.txt ]; then
  CC=clang CXX=clang++ cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUENDRIX_SANITIZE=ON -DQUENDRIX_FUZZ=ON -DQUENDRIX_BENCH=OFF \
    ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} >/dev/null
fi
cmake --build build-asan -j"$(nproc)" -- --no-print-directory
source scripts/sanitizer-env.sh
export QT_QPA_PLATFORM=offscreen
cd build-asan
ctest --output-on-failure -j2 --timeout 600
