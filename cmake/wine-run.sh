#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix; CTest's emulator for the MinGW
# build. Standard input is not handed on, so a test never waits on a terminal.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
"$here/wine-prefix.sh"
exec /usr/lib/wine/wine64 "$@" </dev/null
