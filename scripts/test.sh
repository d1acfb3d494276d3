#!/usr/bin/env bash
# Installs, builds and runs every test suite headless, the emulator suites a
# second time on a busy machine; then the checked run:
# the whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer
# (scripts/sanitize.sh) and every fuzz target for 30 s (scripts/fuzz.sh), with a
# short soak of the live page in between. Before that the Debian package is
# built, installed, tried and removed (scripts/package-check.sh).
# QUENDRIX_CHECKED=0 leaves the checked run out.
# Each phase prints its time.
set -euo pipefail
cd "$(dirname "$0")/.."
phase() {
  local name=$1 start=$SECONDS
  shift
  "$@"
  echo "== $name: $((SECONDS - start)) s"
}
phase deps bash scripts/deps.sh
phase build bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
phase tests bash -c 'cd build && ctest --output-on-failure -j2 --timeout 300'
phase package bash scripts/package-check.sh
# The emulator suites again with both cores kept busy (scripts/busy-tests.sh).
phase busy bash scripts/busy-tests.sh
# A short soak of the live page against the emulator: two minutes' warm-up,
# then a minute and a half measured. Memory growth, CPU and poll rate are
# printed, not judged (the hour-long run is bench/soak by hand). It mostly
# waits, so it runs while the checked build compiles.
soak() {
  ./build/bench/soak_bench --seconds 210 --warmup 120 --every 5 2>/dev/null | tail -1
}
if [ "${QUENDRIX_CHECKED:-1}" != 0 ]; then
  soak >build/soak.out &
  soak_pid=$!
  trap 'kill "$soak_pid" 2>/dev/null || true' EXIT
  phase sanitized bash scripts/sanitize.sh
  phase soak wait "$soak_pid"
  cat build/soak.out
  phase fuzz bash scripts/fuzz.sh
else
  phase soak soak
fi
