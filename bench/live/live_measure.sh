#!/bin/sh
# The live page's cost, measured so that builds can be compared on a shared machine.
#   bench/live/live_measure.sh [RUNS] [SECONDS]
#       runs live_bench RUNS times (5) for SECONDS each (30) and prints each
#       figure's median, lowest and highest;
#   bench/live/live_measure.sh --callgrind
#       counts the instructions of a fixed replay of recorded frames under
#       valgrind (the same on every run): per frame in all, in painting, in the
#       page's frame handling and in the chart's samples.
# BUILD names the build directory (build by default).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${BUILD:-$here/../../build}
bench=$build/bench/live_bench

if [ "${1:-}" = "--callgrind" ]; then
    out=$(mktemp /tmp/live_callgrind.XXXXXX)
    valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$out" \
        "$bench" --replay "$here/drive.frames" >"$out.log" 2>&1
    frames=$(sed -n 's/.*replay_frames=\([0-9]*\).*/\1/p' "$out.log")
    total=$(sed -n 's/^totals: //p' "$out")
    annotated=$(callgrind_annotate --inclusive=yes --threshold=100 "$out" 2>/dev/null)
    # Inclusive count of a function, from its line with the object file name.
    inclusive() {
        printf '%s\n' "$annotated" | grep -F "$1" | grep ' \[' | awk '{gsub(",", "", $1); print $1}' |
            sort -n | tail -1
    }
    paint=$(inclusive 'QWidgetRepaintManager::paintAndFlush()')
    handle=$(inclusive 'LivePage::onFrames(')
    chart=$(inclusive 'TSweepChart::sampleTick()')
    awk -v f="$frames" -v t="$total" -v p="${paint:-0}" -v h="${handle:-0}" -v c="${chart:-0}" 'BEGIN {
        printf "frames=%d ir_per_frame=%.0f paint_ir_per_frame=%.0f handle_ir_per_frame=%.0f chart_ir_per_frame=%.0f\n",
            f, t / f, p / f, h / f, c / f }'
    echo "callgrind output: $out"
    exit 0
fi

runs=${1:-5}
seconds=${2:-30}
results=$(mktemp)
i=0
while [ "$i" -lt "$runs" ]; do
    "$bench" --seconds "$seconds" 2>/dev/null | tail -3 | tr ' ' '\n' | grep = >>"$results"
    i=$((i + 1))
done
for key in cpu_pct paint_ms_p50 paint_ms_p99 polls_per_s delivery_ms_p50 ControllerLink live_bench \
    'Thread_(pooled)'; do
    grep -F "$key=" "$results" | sed 's/.*=//' | sort -g | awk -v k="$key" '
        { v[NR] = $1 }
        END { if (NR) printf "%s median=%s low=%s high=%s (runs=%d)\n", k, v[int((NR + 1) / 2)], v[1], v[NR], NR }'
done
rm -f "$results"
