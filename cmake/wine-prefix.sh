#!/usr/bin/env bash
# Makes sure the project's Wine prefix exists and its server runs. The prefix lives under the
# build tree: WINEPREFIX if set, else build/wineprefix. KAVREL_WINE_GRAPHICS=null (the default,
# for tests: no X server needed) or x11 (a real window on $DISPLAY).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
graphics=${KAVREL_WINE_GRAPHICS:-null}
wine=/usr/lib/wine/wine64
mkdir -p "$WINEPREFIX"
(
    flock 9
    if [ ! -e "$WINEPREFIX/.kavrel-$graphics" ]; then
        "$wine" wineboot --init </dev/null >/dev/null 2>&1 || true
        if [ "$graphics" = null ]; then
            "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f </dev/null >/dev/null 2>&1
        else
            "$wine" reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f </dev/null >/dev/null 2>&1 || true
        fi
        rm -f "$WINEPREFIX"/.kavrel-*
        touch "$WINEPREFIX/.kavrel-$graphics"
    fi
    # One persistent server for all runs: without it every start pays for a new one.
    wineserver -p </dev/null >/dev/null 2>&1 || true
) 9>"$WINEPREFIX/.kavrel-lock"
