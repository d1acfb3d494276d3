#!/usr/bin/env bash
# Installs, builds and runs every test suite headless; then the checked run:
# the whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer
# (scripts/sanitize.sh) and every fuzz target for 30 s (scripts/fuzz.sh).
# The checked run is not yet part of the default run: QUENDRIX_CHECKED=1 adds it.
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
if [ "${QUENDRIX_CHECKED:-0}" != 0 ]; then
  phase sanitized bash scripts/sanitize.sh
  phase fuzz bash scripts/fuzz.sh
fi
