#!/bin/sh
# Start-up and close timing of Morbivue.exe against a program that only opens a window, both
# under the same warm wineserver in the same run.
#   launch: from starting the program until its window is mapped on the X server (polled every
#           5 ms with xdotool; Morbivue maps its window once its controls exist and its tree
#           holds the root and the chapters);
#   close:  from WM_CLOSE (what the title bar's close button sends) until the process has ended,
#           timed inside Wine by launch_and_close.exe.
# Needs DISPLAY (an X server without a window manager), a WINEPREFIX whose X11 driver has
# "Managed"=N, and xdotool. Usage: measure_startup.sh BUILD_DIR [RUNS]   (BUILD_DIR: a win64 build)
set -eu
BUILD=$1
RUNS=${2:-5}
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
MORBIVUE=$BUILD/ui/Morbivue.exe
MINIMAL=$BUILD/ui/minimal_window.exe
LAUNCHER=$BUILD/ui/launch_and_close.exe

now() { date +%s.%N; }

# Seconds from launch until a visible window titled $2 is mapped; the program is then ended.
launch_to_mapped() {
    exe=$1
    title=$2
    start=$(now)
    "$WINE" "$exe" >/dev/null 2>&1 &
    pid=$!
    while [ -z "$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1)" ]; do
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "$exe ended before its window appeared" >&2
            exit 1
        fi
        sleep 0.005
    done
    mapped=$(now)
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    # Let the server drop the window before the next program starts.
    while [ -n "$(xdotool search --name "^$title\$" 2>/dev/null | head -n 1)" ]; do sleep 0.01; done
    echo "$mapped - $start" | bc -l
}

# "launch S close S exit N" as measured inside Wine.
inside_wine() {
    "$WINE" "$LAUNCHER" "$1" "$2" 2>/dev/null | tr -d '\r'
}

# A persistent server keeps both programs on the same warm wineserver.
"$WINESERVER" -p >/dev/null 2>&1 &
launch_to_mapped "$MINIMAL" Minimal >/dev/null
launch_to_mapped "$MORBIVUE" Morbivue >/dev/null

differences=""
i=1
while [ "$i" -le "$RUNS" ]; do
    tmin=$(launch_to_mapped "$MINIMAL" Minimal)
    tmor=$(launch_to_mapped "$MORBIVUE" Morbivue)
    set -- $(inside_wine "$MINIMAL" Minimal)
    cmin=$4
    set -- $(inside_wine "$MORBIVUE" Morbivue)
    cmor=$4
    printf 'run %d: mapped after minimal %.3f s, Morbivue %.3f s (difference %.3f s); close to exit: minimal %.3f s, Morbivue %.3f s (exit code %s)\n' \
        "$i" "$tmin" "$tmor" "$(echo "$tmor - $tmin" | bc -l)" "$cmin" "$cmor" "$6"
    differences="$differences $(echo "$tmor - $tmin" | bc -l)"
    i=$((i + 1))
done
# The median difference: the figure to quote, since single starts vary by a factor of two.
echo $differences | tr ' ' '\n' | sort -n | awk '{ d[NR] = $1 } END {
    printf "median difference of %d runs: %.3f s\n", NR, NR % 2 ? d[(NR + 1) / 2] : (d[NR / 2] + d[NR / 2 + 1]) / 2 }'

