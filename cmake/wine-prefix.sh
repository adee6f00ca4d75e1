#!/usr/bin/env bash
# Makes sure the project's Wine prefix exists and its server runs. The prefix lives under the
# build tree: WINEPREFIX if set, else build/wineprefix. KAVREL_WINE_GRAPHICS=null (the default,
# for tests: no X server needed) or x11 (a real window on $DISPLAY).
# COM ports: see wine-com-ports.sh; scripts/lib/with-trackers.sh sets them to simulated trackers.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
graphics=${KAVREL_WINE_GRAPHICS:-null}
wine=/usr/lib/wine/wine64
mkdir -p "$WINEPREFIX"
# shellcheck source=wine-com-ports.sh
. "$here/wine-com-ports.sh"

# The settings every test run relies on: the COM slots, the symlinks to them and the registry list
# that makes Wine keep both; and no debugger for a program that crashes. Wine's own opens a crash
# dialog that nobody can close, or, without the dialog, ends the program with exit status 0: a
# crashed test would wait for its time-out or pass. Without one it ends at once with status 5.
install_test_settings() {
    local reg=$WINEPREFIX/kavrel-settings.reg n
    for n in $(seq 1 $kavrel_com_ports); do kavrel_com_port "$n" KEEP; done
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]\r\n'
        printf '"Debugger"=""\r\n\r\n'
        kavrel_com_registry
    } >"$reg"
    "$wine" regedit /S "Z:${reg//\//\\}" </dev/null >/dev/null 2>&1 9>&-
}

(
    flock 9
    fresh=no
    [ -e "$WINEPREFIX/.update-timestamp" ] || fresh=yes
    if [ ! -e "$WINEPREFIX/.kavrel-$graphics" ]; then
        "$wine" wineboot --init </dev/null >/dev/null 2>&1 9>&- || true
        if [ "$graphics" = null ]; then
            "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f </dev/null >/dev/null 2>&1 9>&-
        else
            "$wine" reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f </dev/null >/dev/null 2>&1 9>&- || true
        fi
        rm -f "$WINEPREFIX"/.kavrel-null "$WINEPREFIX"/.kavrel-x11
        touch "$WINEPREFIX/.kavrel-$graphics"
    fi
    if [ ! -e "$WINEPREFIX/.kavrel-settings-3" ]; then
        install_test_settings
        rm -f "$WINEPREFIX/.kavrel-com-slots" "$WINEPREFIX/.kavrel-settings-2"
        touch "$WINEPREFIX/.kavrel-settings-3"
    fi
    # The server that set a new prefix up quits once it is idle (saving the registry); a
    # persistent one can start only after it. A persistent server never quits: no waiting then.
    if [ $fresh = yes ]; then
        wineserver -w </dev/null >/dev/null 2>&1 9>&- || true
    fi
    # One persistent server for all runs: without it every start pays for a new one. Debian's
    # wrapper passes -p0 first; the -p after it wins. No Wine process may keep the lock's
    # descriptor, or the next run waits for it forever.
    # A server that starts here has none of the prefix's background services yet; the first Wine
    # program would start them with its own standard output, and a test runner reading that pipe
    # would wait for them forever. A throw-away program starts them on /dev/null instead.
    if wineserver -p </dev/null >/dev/null 2>&1 9>&-; then
        "$wine" cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
    fi
) 9>"$WINEPREFIX/.kavrel-lock"
