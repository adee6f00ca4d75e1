#!/usr/bin/env bash
# Benchmarks Read Config and Write Config natively: a fresh kavrel-sim at 9600 baud for each
# generation, then kavrel-bench against its pty.
#   bench/run-native.sh [BUILD_DIR] [RUNS]      (BUILD_DIR defaults to build/native)
# KAVREL_SIM and KAVREL_BENCH name the two programs when they are not in BUILD_DIR.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native}
runs=${2:-3}
sim=${KAVREL_SIM:-$build/sim/kavrel-sim}
bench=${KAVREL_BENCH:-$build/bench/kavrel-bench}
for tool in "$sim" "$bench"; do
    [[ -x $tool ]] || { echo "run-native.sh: $tool is not built" >&2; exit 1; }
done

work=$(mktemp -d)
sim_pid=
cleanup() {
    if [[ -n $sim_pid ]]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

for generation in 3 1; do
    "$sim" --generation "$generation" --baud 9600 </dev/null >"$work/sim.out" 2>"$work/sim.err" &
    sim_pid=$!
    for _ in $(seq 200); do [[ -s $work/sim.out ]] && break; sleep 0.05; done
    pty=$(head -n 1 "$work/sim.out")
    [[ -n $pty ]] || { echo "run-native.sh: kavrel-sim did not start" >&2; cat "$work/sim.err" >&2; exit 1; }
    if [[ $generation == 3 ]]; then
        "$bench" "$pty" "$generation" "$runs"
    else
        "$bench" "$pty" "$generation" "$runs" | tail -n +2
    fi
    kill "$sim_pid"
    wait "$sim_pid" || true
    sim_pid=
done
