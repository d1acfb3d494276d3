#!/usr/bin/env bash
# Memory of the demo mode over time: runs the program headless with its
# in-process emulated controller on one page, samples its resident set size,
# and prints the growth per minute after the first minute (start-up and first
# allocations) as its last line.
#   bench/demo/demo_rss.sh [MINUTES=10] [PAGE=obroty] [BUILD_DIR=build]
# QUENDRIX_BIN names another program file to measure.
set -euo pipefail
cd "$(dirname "$0")/../.."
minutes=${1:-10}
page=${2:-obroty}
build=${3:-build}
sample=${SAMPLE_SECONDS:-30}
tmp=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null || true; rm -rf "$tmp"' EXIT
QT_QPA_PLATFORM=offscreen QUENDRIX_INSTANCE_LOCK="$tmp/lock" QUENDRIX_SETTINGS="$tmp/settings.ini" \
  "${QUENDRIX_BIN:-$build/src/quendrix}" --demo --page "$page" --screenshot "$tmp/shot.png" --after $((minutes * 60000 + 5000)) \
  2>"$tmp/stderr" &
pid=$!
rss() { awk '/^VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0; }
start=$(date +%s)
first=""
last=0
while kill -0 "$pid" 2>/dev/null; do
  sleep "$sample"
  t=$(($(date +%s) - start))
  r=$(rss)
  [ "$r" = 0 ] && break
  echo "t=${t}s rss=${r} kB"
  if [ "$t" -ge 60 ] && [ -z "$first" ]; then first="$t $r"; fi
  last="$t $r"
  [ "$t" -ge $((minutes * 60)) ] && break
done
read -r t0 r0 <<<"${first:-0 0}"
read -r t1 r1 <<<"$last"
if [ "$t1" -gt "$t0" ]; then
  echo "demo page $page: rss ${r0} kB at ${t0}s, ${r1} kB at ${t1}s, growth $(((r1 - r0) * 60 / (t1 - t0))) kB/min"
else
  echo "demo page $page: run too short to measure growth"
fi
