#!/usr/bin/env bash
# Runs every fuzz target of build-asan/fuzz for FUZZ_SECONDS (30) seconds each,
# two at a time, starting from the seeds in fuzz/corpus/<target>. New inputs go
# to a scratch folder; a crash, hang or sanitizer report fails the run and
# leaves the input in fuzz-findings/. Prints each target's executions.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source scripts/sanitizer-env.sh
seconds=${FUZZ_SECONDS:-30}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p fuzz-findings
targets=()
for t in build-asan/fuzz/fuzz_*; do
  [ -f "$t" ] && [ -x "$t" ] && targets+=("$(basename "$t")")
done
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets in build-asan/fuzz"; exit 1; }

run() {
  local t=$1
  mkdir -p "$work/$t"
  # -timeout: an input that runs longer is a hang; -rss_limit_mb: one that eats memory.
  if build-asan/fuzz/"$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="fuzz-findings/$t-" -print_final_stats=1 \
       "$work/$t" "fuzz/corpus/$t" >"$work/$t.log" 2>&1; then
    echo "$t: $(grep -m1 'stat::number_of_executed_units' "$work/$t.log" | awk '{print $2}') executions, ok"
  else
    echo "$t: FAILED"
    tail -60 "$work/$t.log"
    return 1
  fi
}

failed=0
pids=()
for t in "${targets[@]}"; do
  run "$t" &
  pids+=($!)
  if [ ${#pids[@]} -ge 2 ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
  fi
done
for p in "${pids[@]}"; do
  wait "$p" || failed=1
done
exit $failed
