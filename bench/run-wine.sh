#!/usr/bin/env bash
# Benchmarks Read Config and Write Config of the Windows build under Wine: kavrel-bench.exe on COM3,
# which scripts/lib/with-trackers.sh maps to a fresh kavrel-sim at 9600 baud, for generations 3 and 1.
#   bench/run-wine.sh [MINGW_BUILD_DIR] [RUNS]      (MINGW_BUILD_DIR defaults to build/mingw)
# kavrel-sim comes from the native tree the MinGW tree was configured with (KAVREL_NATIVE_BUILD),
# or from KAVREL_SIM.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/mingw}" && pwd)
runs=${2:-3}
bench=$build/bench/kavrel-bench.exe
[[ -x $bench || -f $bench ]] || { echo "run-wine.sh: $bench is not built" >&2; exit 1; }
cached() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
prefix=$(cached KAVREL_WINEPREFIX)
sim=${KAVREL_SIM:-$(cached KAVREL_NATIVE_BUILD)/sim/kavrel-sim}
[[ -x $sim ]] || { echo "run-wine.sh: $sim is not built" >&2; exit 1; }

for generation in 3 1; do
    out=$("$root/scripts/lib/with-trackers.sh" --prefix "$prefix" --sim "$sim" \
        "COM3=--generation $generation --baud 9600" -- \
        env WINEPREFIX="$prefix" "$root/cmake/wine-run.sh" "$bench" COM3 "$generation" "$runs" | tr -d '\r')
    if [[ $generation == 3 ]]; then
        printf '%s\n' "$out"
    else
        printf '%s\n' "$out" | tail -n +2
    fi
done
