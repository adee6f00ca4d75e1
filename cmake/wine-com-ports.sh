# The COM ports of a Wine prefix ($WINEPREFIX), as the test harness and the installed launcher set
# them (the launcher carries a copy, put in by CMake). Sourced, not run.
#
# COM1 to COM20 each lead to a slot, $WINEPREFIX/kavrel-com/comN: a link to a device is a working
# port; an empty folder is a port that does not open (CreateFile fails). Why so:
# - Wine opens COMn through the link dosdevices/comN at every open, so a changed slot counts at once.
#   Ports listed under HKLM\Software\Wine\Ports are read only when the prefix's services start,
#   and each value also makes an NT device that opens without the link but fails every request.
# - Listing the slots there keeps Wine from handing a real /dev/ttyS0 to one of COM1 to COM20 (it
#   gets COM21), and lets Wine rewrite each link at a restart to the same slot, never to a device.
kavrel_com_ports=20

# Prints the registry lines that list the slots (a .reg file's section, CRLF as regedit wants).
kavrel_com_registry() {
    local n
    printf '[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n'
    for n in $(seq 1 $kavrel_com_ports); do
        printf '"COM%d"="%s"\r\n' "$n" "$WINEPREFIX/kavrel-com/com$n"
    done
}

# kavrel_com_port N [DEVICE]: COMn opens DEVICE; without one, it does not open. With KEEP as the
# device, a slot already set stays as it is.
kavrel_com_port() {
    local slot=$WINEPREFIX/kavrel-com/com$1
    mkdir -p "$WINEPREFIX/kavrel-com" "$WINEPREFIX/dosdevices"
    if [ "${2-}" != KEEP ] || ! [ -L "$slot" ]; then
        rm -rf "$slot"
        if [ -n "${2-}" ] && [ "$2" != KEEP ]; then ln -s "$2" "$slot"; else mkdir "$slot"; fi
    fi
    ln -sfn "$slot" "$WINEPREFIX/dosdevices/com$1"
}
