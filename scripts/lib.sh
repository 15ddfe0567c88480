# Shared by scripts/run and scripts/test: builds and a private Wine + Xvfb session.

build_preset() {  # build_preset PRESET [TARGET...]
  local preset=$1; shift
  cmake --preset "$preset" >/dev/null || return 1
  if [ $# -gt 0 ]; then
    cmake --build --preset "$preset" --target "$@" || return 1
  else
    cmake --build --preset "$preset" || return 1
  fi
}

# Starts Xvfb on a free display and a fresh Wine prefix under $WINE_TMP; sets DISPLAY etc.
# WINE_SCREEN sets the screen (default 1280x1024x24).
wine_session_start() {
  WINE_TMP=$(mktemp -d /tmp/morbivue-wine.XXXXXX)
  local n=$(( 100 + RANDOM % 400 ))
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${WINE_SCREEN:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  export WINEPREFIX="$WINE_TMP/prefix" HOME="$WINE_TMP/home" WINEDEBUG=-all
  export WINEDLLOVERRIDES="winemenubuilder.exe=d"
  mkdir -p "$HOME"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
  # Without a window manager DestroyWindow waits 2 s unless windows are unmanaged.
  /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
  /usr/lib/wine/wineserver -p
  # The first program starts Wine's services, which keep its stdout and stderr open for as long
  # as the server lives: let them inherit /dev/null instead of a caller's pipe.
  /usr/lib/wine/wine64 cmd /c exit >/dev/null 2>&1 </dev/null
}

# Sets the screen scale programs started from now on take (LogPixels: 96 is 100 %).
wine_set_dpi() {  # wine_set_dpi DPI
  /usr/lib/wine/wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
    >/dev/null 2>&1
}

wine_session_stop() {
  [ -n "${WINEPREFIX:-}" ] && /usr/lib/wine/wineserver -k >/dev/null 2>&1
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  [ -n "${WINE_TMP:-}" ] && rm -rf "$WINE_TMP"
  XVFB_PID="" WINE_TMP=""
}
