# Sourced by the scripts that run Windows programs: one display and one
# persistent wineserver for the whole session, both stopped on exit.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="$here/build/wineprefix"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

ovek_session_start() {
  if [ -z "${DISPLAY:-}" ] || [ -n "${OVEK_OWN_DISPLAY:-}" ]; then
    for n in $(seq 90 140); do
      [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] || { disp=$n; break; }
    done
    Xvfb :$disp -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    OVEK_XVFB_PID=$!
    export DISPLAY=:$disp
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$disp ] && break; sleep 0.1; done
  fi
  wineserver -p >/dev/null 2>&1 &
  OVEK_WINESERVER_PID=$!
  trap ovek_session_stop EXIT
  # Start Wine's own services now, detached from our output: started by the
  # first test program they would inherit its pipe and keep ctest waiting.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

ovek_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${OVEK_WINESERVER_PID:-}" ] && wait "$OVEK_WINESERVER_PID" 2>/dev/null || true
  [ -n "${OVEK_XVFB_PID:-}" ] && kill "$OVEK_XVFB_PID" 2>/dev/null || true
}
