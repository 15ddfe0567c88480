#!/bin/sh
# Start-up and close timing of Morbivue.exe against a program that only opens a window, both
# under the same warm wineserver. Needs DISPLAY (an X server without a window manager),
# WINEPREFIX with "Managed"=N, xdotool and xwininfo.
# Usage: measure_startup.sh MORBIVUE_EXE MINIMAL_EXE [RUNS]
set -eu
MORBIVUE=$1
MINIMAL=$2
RUNS=${3:-5}
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}

now() { date +%s.%N; }

# Seconds from launch until a mapped window titled $2 exists (and, for Morbivue, until its
# tree shows the chapters: the window is mapped after WM_CREATE has filled the tree).
launch_to_window() {
    exe=$1
    title=$2
    start=$(now)
    "$WINE" "$exe" >/dev/null 2>&1 &
    pid=$!
    while :; do
        id=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            break
        fi
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "program ended before its window appeared" >&2
            exit 1
        fi
        sleep 0.005
    done
    mapped=$(now)
    echo "$pid $id $(echo "$mapped - $start" | bc -l)"
}

# Seconds from the close request until the process has ended.
close_time() {
    pid=$1
    id=$2
    start=$(now)
    xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
    # WM_DELETE_WINDOW through the X11 driver arrives as WM_CLOSE.
    xdotool key --window "$id" alt+F4 >/dev/null 2>&1 || true
    while kill -0 "$pid" 2>/dev/null; do
        sleep 0.005
    done
    echo "$(echo "$(now) - $start" | bc -l)"
}

# Keeps (or starts) a persistent server; it stays up for both programs.
"$WINESERVER" -p >/dev/null 2>&1 &
# Warm everything up once, then measure.
set -- $(launch_to_window "$MINIMAL" Minimal); kill "$1"; wait "$1" 2>/dev/null || true
set -- $(launch_to_window "$MORBIVUE" Morbivue); kill "$1"; wait "$1" 2>/dev/null || true

i=0
while [ "$i" -lt "$RUNS" ]; do
    set -- $(launch_to_window "$MINIMAL" Minimal)
    tmin=$3
    cmin=$(close_time "$1" "$2")
    set -- $(launch_to_window "$MORBIVUE" Morbivue)
    tmor=$3
    cmor=$(close_time "$1" "$2")
    printf 'run %d: minimal %.3f s, Morbivue %.3f s, difference %.3f s; close: minimal %.3f s, Morbivue %.3f s\n' \
        "$i" "$tmin" "$tmor" "$(echo "$tmor - $tmin" | bc -l)" "$cmin" "$cmor"
    i=$((i + 1))
done
