#!/usr/bin/env bash
# Runs a command (a Windows program under Wine) with COM ports of a Wine prefix mapped to ptys
# served by kavrel-sim, and every other port of COM1 to COM20 absent. with-trackers.md explains
# how the mapping works.
#
#   with-trackers.sh [--prefix DIR] [--sim PATH] [COMn=SPEC]... -- COMMAND [ARG]...
#
#   COMn=OPTIONS    kavrel-sim with these options, split at blanks: "COM3=--generation 3 --trace"
#   COMn=pty        a port nobody answers on (kavrel-sim --generation none)
#   COMn=null       a device that opens but is no serial port (/dev/null): its settings fail
#   no COMn at all  a machine without serial ports
#
#   --prefix DIR    the Wine prefix (default $WINEPREFIX, else build/wineprefix)
#   --sim PATH      kavrel-sim (default $KAVREL_SIM, else $KAVREL_NATIVE_BUILD/sim/kavrel-sim)
#
# The command sees KAVREL_LOG_COMn, the standard error of the simulator behind COMn (--trace
# writes there). Its exit status is the script's; when it fails, the simulators' output is printed.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
prefix=${WINEPREFIX:-$repo/build/wineprefix}
sim=${KAVREL_SIM:-${KAVREL_NATIVE_BUILD:+$KAVREL_NATIVE_BUILD/sim/kavrel-sim}}
fail() { echo "with-trackers: $*" >&2; exit 2; }

declare -A specs=()
while [ $# -gt 0 ]; do
    case $1 in
    --) shift; break ;;
    --prefix) prefix=${2:?}; shift 2 ;;
    --sim) sim=${2:?}; shift 2 ;;
    [Cc][Oo][Mm]*=*)
        n=${1%%=*}; n=${n:3}
        [[ $n =~ ^([1-9]|1[0-9]|20)$ ]] || fail "${1%%=*}: only COM1 to COM20 can be mapped"
        [ -z "${specs[$n]+set}" ] || fail "COM$n is mapped twice"
        specs[$n]=${1#*=}
        shift ;;
    *) fail "unknown argument '$1' (the command follows --)" ;;
    esac
done
[ $# -gt 0 ] || fail "no command given after --"
# Wine follows the links as they are written: they must be absolute.
WINEPREFIX=$(realpath -m "$prefix")
export WINEPREFIX
"$repo/cmake/wine-prefix.sh"

# The ports belong to the prefix: one run at a time. No helper keeps the lock's descriptor (8>&-).
exec 8>"$WINEPREFIX/.kavrel-ports-lock"
flock -w 1800 8 || fail "the COM ports of $WINEPREFIX stayed busy"
work=$WINEPREFIX/kavrel-harness-run
rm -rf "$work"
mkdir -p "$work"
helpers=()

# shellcheck source=../../cmake/wine-com-ports.sh
. "$repo/cmake/wine-com-ports.sh"

cleanup() {
    local status=$? n log
    trap - EXIT INT TERM HUP
    for n in "${!specs[@]}"; do kavrel_com_port "$n"; done
    [ ${#helpers[@]} -eq 0 ] || kill "${helpers[@]}" 2>/dev/null || true
    wait || true
    if [ $status -ne 0 ]; then
        for log in "$work"/*.log; do
            [ -s "$log" ] || continue
            echo "--- with-trackers: $(basename "$log" .log)" >&2
            tail -n 40 "$log" >&2
        done
    fi
    rm -rf "$work"
    exit $status
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

for n in $(seq 1 $kavrel_com_ports); do
    if [ -z "${specs[$n]+set}" ]; then
        kavrel_com_port "$n"
    elif [ "${specs[$n]}" = null ]; then
        kavrel_com_port "$n" /dev/null
    else
        spec=${specs[$n]}
        if [ "$spec" = pty ]; then spec="--generation none"; fi
        [ -x "$sim" ] || fail "COM$n: no kavrel-sim at '$sim'; build it in the native tree or give --sim"
        read -r -a options <<<"$spec"
        # The simulator ends with this script, even when the script is killed outright.
        setpriv --pdeathsig TERM "$sim" "${options[@]}" </dev/null >"$work/com$n.out" \
            2>"$work/tracker$n.log" 8>&- &
        helpers+=("$!")
        pty=""
        for _ in $(seq 200); do
            pty=$(head -n 1 "$work/com$n.out" 2>/dev/null || true)
            [ -c "$pty" ] || [ ! -d "/proc/$!" ] && break
            sleep 0.05
        done
        [ -c "$pty" ] || fail "COM$n: kavrel-sim $spec gave no pty"
        # Not named after the port: "com3.log" would be the device COM3 to Windows.
        export "KAVREL_LOG_COM$n=$work/tracker$n.log"
        kavrel_com_port "$n" "$pty"
    fi
done

set +e
"$@" 8>&-
