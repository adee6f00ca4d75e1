# Sourced by the scripts that show the window without a screen: a virtual X server (Xvfb).
#   start_virtual_display   starts one on a free display number and exports DISPLAY
#   stop_virtual_display    ends it (and the Wine programs of $WINEPREFIX that drew on it)

virtual_display_pid=""

start_virtual_display() {
    local numbers
    numbers=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numbers" </dev/null >/dev/null 2>&1 &
    virtual_display_pid=$!
    for _ in $(seq 1 100); do
        [ -s "$numbers" ] && break
        kill -0 "$virtual_display_pid" 2>/dev/null || break
        sleep 0.05
    done
    if [ ! -s "$numbers" ]; then
        rm -f "$numbers"
        echo "Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$(head -n 1 "$numbers")"
    rm -f "$numbers"
}

stop_virtual_display() {
    [ -n "$virtual_display_pid" ] || return 0
    # Wine's helpers of this prefix hold the display; they go first, and the server is waited for:
    # a Wine program started while it is ending would end with it.
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver -k </dev/null >/dev/null 2>&1 || true
        wineserver -w </dev/null >/dev/null 2>&1 || true
    fi
    kill "$virtual_display_pid" 2>/dev/null || true
    wait "$virtual_display_pid" 2>/dev/null || true
    virtual_display_pid=""
}
