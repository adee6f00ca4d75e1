#!/usr/bin/env bash
# Runs a command (a Windows test under Wine) with simulated trackers on ptys mapped to COM ports
# of the build tree's Wine prefix, and every other port of COM1 to COM20 absent.
#
#   with-trackers.sh [--prefix DIR] [--sim PATH] [COMn=SPEC]... -- COMMAND [ARG]...
#
#   COMn=pty        a bare pty that nobody answers on (socat)
#   COMn=null       a device that opens but is no serial port (/dev/null): its settings fail
#   COMn=OPTIONS    kavrel-sim with these options, split at blanks: "COM3=--generation 3",
#                   "COM7=--generation 1 --baud 2400"
#   no COMn at all  a machine without serial ports: COM1 to COM20 all fail to open
#
#   --prefix DIR    the Wine prefix (default $WINEPREFIX, else build/wineprefix)
#   --sim PATH      kavrel-sim (default $KAVREL_SIM, else $KAVREL_NATIVE_BUILD/sim/kavrel-sim)
#
# n runs from 1 to 20. The command's exit status is the harness's; on failure the helpers' output
# is printed. The ports of a prefix are shared, so runs on one prefix take turns (flock); CTest
# tests also name the resource lock kavrel_wine_com_ports. The mapping is undone and the helpers
# are stopped on every way out; a run that was killed outright is tidied up by the next one.
# Environment for the command: KAVREL_PTY_COMn, the pty behind each mapped port, and
# KAVREL_LOG_COMn, the standard error of the kavrel-sim behind it (its --trace goes there).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../../.." && pwd)
prefix=${WINEPREFIX:-$repo/build/wineprefix}
sim=${KAVREL_SIM:-${KAVREL_NATIVE_BUILD:+$KAVREL_NATIVE_BUILD/sim/kavrel-sim}}
max_port=20

fail() {
    echo "with-trackers: $*" >&2
    exit 2
}

ports=()
specs=()
while [ $# -gt 0 ]; do
    case $1 in
    --) shift; break ;;
    --prefix) prefix=${2:?}; shift 2 ;;
    --sim) sim=${2:?}; shift 2 ;;
    [Cc][Oo][Mm]*=*)
        name=${1%%=*}
        n=${name:3}
        [[ $n =~ ^[1-9][0-9]?$ ]] && [ "$n" -le $max_port ] || fail "$name: only COM1 to COM$max_port can be mapped"
        for taken in "${ports[@]}"; do [ "$taken" != "$n" ] || fail "COM$n is mapped twice"; done
        ports+=("$n")
        specs+=("${1#*=}")
        shift ;;
    *) fail "unknown argument '$1' (the command follows --)" ;;
    esac
done
[ $# -gt 0 ] || fail "no command given after --"

export WINEPREFIX=$prefix
slots=$prefix/kavrel-com
"$repo/cmake/wine-prefix.sh"

# One run at a time per prefix. Every child gets the lock's descriptor closed (8>&-), so a helper
# or a Wine server that outlives the run never holds the lock.
exec 8>"$prefix/.kavrel-ports-lock"
flock -w 1800 8 || fail "the COM ports of $prefix stayed busy"

# Helpers' output; one folder per prefix, emptied by each run, so a killed run leaves no litter.
work=$prefix/kavrel-harness-run
rm -rf "$work"
mkdir -p "$work"
pidfile=$prefix/.kavrel-ports-helpers
helpers=()

# Helpers are tagged with this variable, so that a later run can tell its predecessor's leftovers
# from any other process that got the same id.
tag="KAVREL_HARNESS_PREFIX=$prefix"

stop_leftovers() {
    local pid
    [ -f "$pidfile" ] || return 0
    while read -r pid; do
        [ -n "$pid" ] && [ -r "/proc/$pid/environ" ] || continue
        if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "$tag"; then
            kill "$pid" 2>/dev/null || true
        fi
    done <"$pidfile"
    rm -f "$pidfile"
}

block_slot() {
    local slot=$slots/com$1
    if [ -L "$slot" ] || [ -f "$slot" ]; then rm -f "$slot"; fi
    mkdir -p "$slot"
}

map_slot() {
    local slot=$slots/com$1
    if [ -d "$slot" ] && [ ! -L "$slot" ]; then rmdir "$slot"; else rm -f "$slot"; fi
    ln -s "$2" "$slot"
}

cleanup() {
    local status=$? n pid
    trap - EXIT INT TERM HUP
    for n in "${ports[@]}"; do block_slot "$n"; done
    for pid in "${helpers[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${helpers[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -f "$pidfile"
    if [ "$status" -ne 0 ]; then
        for log in "$work"/*.log; do
            [ -s "$log" ] || continue
            echo "--- with-trackers: $(basename "$log" .log)" >&2
            tail -n 40 "$log" >&2
        done
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

stop_leftovers

# Waits up to 10 s for the helper to print its pty, or to make its link.
wait_for_pty() {
    local pid=$1 source=$2 what=$3 path=""
    for _ in $(seq 1 200); do
        if [ "$what" = line ]; then
            path=$(head -n 1 "$source" 2>/dev/null || true)
        elif [ -L "$source" ]; then
            path=$(readlink -f "$source")
        fi
        if [ -n "$path" ] && [ -c "$path" ]; then
            echo "$path"
            return 0
        fi
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.05
    done
    return 1
}

for i in "${!ports[@]}"; do
    n=${ports[$i]}
    spec=${specs[$i]}
    if [ "$spec" = null ]; then
        pty=/dev/null
    elif [ "$spec" = pty ]; then
        env "$tag" socat -u "PTY,link=$work/com$n.pty,raw,echo=0" OPEN:/dev/null \
            </dev/null >"$work/com$n.log" 2>&1 8>&- &
        helpers+=("$!")
        echo "$!" >>"$pidfile"
        pty=$(wait_for_pty "$!" "$work/com$n.pty" link) || fail "COM$n: socat gave no pty"
    else
        [ -n "$sim" ] || fail "COM$n: where is kavrel-sim? Give --sim, KAVREL_SIM or KAVREL_NATIVE_BUILD"
        [ -x "$sim" ] || fail "COM$n: $sim is missing; build kavrel-sim in the native tree first"
        read -r -a options <<<"$spec"
        env "$tag" "$sim" "${options[@]}" </dev/null >"$work/com$n.out" 2>"$work/com$n.log" 8>&- &
        helpers+=("$!")
        echo "$!" >>"$pidfile"
        pty=$(wait_for_pty "$!" "$work/com$n.out" line) || fail "COM$n: kavrel-sim $spec gave no pty"
        export "KAVREL_LOG_COM$n=$work/com$n.log"
    fi
    export "KAVREL_PTY_COM$n=$pty"
    map_slot "$n" "$pty"
done

# Every other port is absent, whatever an earlier run left; the links to the slots are put back in
# case anything rewrote them.
for n in $(seq 1 $max_port); do
    mapped=no
    for m in "${ports[@]}"; do [ "$m" != "$n" ] || mapped=yes; done
    [ $mapped = yes ] || block_slot "$n"
    ln -sfn "$slots/com$n" "$prefix/dosdevices/com$n"
done

set +e
"$@" 8>&-
status=$?
set -e
exit $status
