# One Wine session for the program, as scripts/run, scripts/bench and the emulated 32-bit PC use
# it: a prefix with a simulated driver installation, Wine's desktop window on the display, the
# program worked from a second process (rundrive.exe) and screenshots. Sourced; the caller sets
#   wine, wineserver   Wine's loader and server
#   tools              the folder with regload.exe and rundrive.exe
#   screen             the desktop's size (WIDTHxHEIGHT)
#   QUORVEL_SHOTS      where screenshots go (none when empty)
#   QUORVEL_PATIENCE   how many seconds rundrive waits for a window or a box (15 when empty)
#   server_foreground  when set, the server runs in the foreground of a background job, whose
#                      process ID session_start keeps in $server_pid (to read its CPU time)
# and WINEPREFIX.

# A Linux path as Wine programs take it: Z:\...
winpath() {
    echo "Z:$(realpath "$1" | tr / '\\')"
}

# Starts the server for the whole session (keys under the video root are volatile in Wine), makes
# the prefix when it is new, sets the screen's DPI, opens Wine's desktop window when screenshots
# are taken and loads the installation from FIXTURE.
session_start() {
    local fixture=$1 dpi=$2
    mkdir -p "$WINEPREFIX"
    server_pid=
    if [ -n "${server_foreground:-}" ]; then
        "$wineserver" -f -p &
        server_pid=$!
    else
        "$wineserver" -p
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$wine" wineboot --init >/dev/null 2>&1 || true
        # Debian's Wine does not look in its own font folder: give the prefix Wine's Tahoma and
        # the Marlett symbols that window frames are drawn with.
        cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    fi
    # Wine takes the screen's DPI from here ("Large Fonts" is 120).
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
    desktop=()
    if [ -n "${QUORVEL_SHOTS:-}" ]; then
        mkdir -p "$QUORVEL_SHOTS"
        # Wine's own desktop window draws the window frames, as Windows would; a bare X server
        # has no window manager to draw them. Starting it rebuilds Wine's display adapter keys,
        # so the installation is loaded after it.
        desktop=(explorer "/desktop=Quorvel,$screen")
        "$wine" "${desktop[@]}" &
        wait_for_window 'Quorvel'
    fi
    "$wine" "$tools/regload.exe" "$(winpath "$fixture")"
}

session_end() {
    "$wineserver" -k || true
    if [ -n "${server_pid:-}" ]; then
        wait "$server_pid" 2>/dev/null || true
    fi
}

# Starts a program on the session's desktop; its process ID is in $!.
start_on_desktop() {
    "$wine" "${desktop[@]}" "$@" &
}

wait_for_window() {
    for _ in $(seq 1 "${2:-120}"); do
        # Read whole before grep -q stops early, or pipefail would see xwininfo's SIGPIPE.
        grep -q "\"$1" <<<"$(xwininfo -root -tree 2>/dev/null)" && return 0
        sleep 0.5
    done
    echo "no window \"$1\" appeared" >&2
    return 1
}

drive() {
    "$wine" "$tools/rundrive.exe" ${QUORVEL_SHOTS:+--desktop Quorvel} \
        ${QUORVEL_PATIENCE:+--patience "$QUORVEL_PATIENCE"} "$@"
}

shot() {
    [ -n "${QUORVEL_SHOTS:-}" ] || return 0
    sleep 0.5
    import -window root -crop "$screen+0+0" "$QUORVEL_SHOTS/$1.png"
}

# The driver's values in the service key and under the video root, as `reg query` shows them.
save_written() {
    local out=$1
    {
        "$wine" reg query 'HKLM\SYSTEM\CurrentControlSet\Services\nv\Device0'
        "$wine" reg query 'HKLM\SYSTEM\CurrentControlSet\Control\Video' /s
    } 2>/dev/null | tr -d '\r' |
        awk '/^HKEY_/ { key = $0; next }
             /_Modes_Delta|UseCompressedModeFormat/ { if (key != shown) { print ""; print key; shown = key }; print }' >"$out"
}

# Waits up to SECONDS for the process PID to end and keeps its exit code in $exit_code ("none"
# when it did not end). Not in a command substitution: a subshell cannot wait for the session's
# processes.
wait_exit() {
    local pid=$1 seconds=${2:-20}
    exit_code=none
    for _ in $(seq 1 $((seconds * 2))); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.5
    done
    kill -0 "$pid" 2>/dev/null && return 0
    exit_code=0
    wait "$pid" || exit_code=$?
}
