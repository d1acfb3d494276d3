#!/usr/bin/env bash
# Installs, builds and starts Quendrix in demo mode: an emulated controller on a
# pseudo-terminal as COM1 and a "simulated car" window to drive it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
if { [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; } || [ "${QT_QPA_PLATFORM:-}" = "offscreen" ]; then
  echo "No display here, so the window cannot be shown."
  echo "Rendering the live page into quendrix-live.png instead:"
  QT_QPA_PLATFORM=offscreen ./build/src/quendrix --demo --page wizualizacja --screenshot quendrix-live.png --after 6000 "$@"
  echo "Wrote $(pwd)/quendrix-live.png. Other pages: --page obroty|parametry|wizualizacja|autoadaptacja|drukowanie"
  exit 0
fi
exec ./build/src/quendrix --demo "$@"
