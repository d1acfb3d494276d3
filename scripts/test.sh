#!/usr/bin/env bash
# Installs, builds and runs every test suite headless; then the checked run:
# the whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer
# (scripts/sanitize.sh) and every fuzz target for 30 s (scripts/fuzz.sh).
# QUENDRIX_CHECKED=0 leaves the checked run out. Each phase prints its time.
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
# The suites mostly wait on the emulator's line, so they run four at a time.
phase tests bash -c 'cd build && ctest --output-on-failure -j4 --timeout 300'
if [ "${QUENDRIX_CHECKED:-1}" != 0 ]; then
  phase sanitized bash scripts/sanitize.sh
  phase fuzz bash scripts/fuzz.sh
fi
