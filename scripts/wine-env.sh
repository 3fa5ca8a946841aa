# Sourced by the scripts that run Windows programs: one virtual display and one Wine prefix
# per run, shared by every program of that run.
#   vf_wine_session DIR  - makes a fresh prefix in DIR/wineprefix, starts Xvfb unless told
#                          to use an existing display, and exports what Wine needs
#   vf_wine_two_monitors - moves the session to a display that shows Wine two monitors
#   vf_wine_end          - ends the prefix's programs and the display started here

export WINEDEBUG=${WINEDEBUG:--all}
# No Mono and no Gecko: their installers would ask to download them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

vf_xvfb_pid=""

# Extra arguments go to Xvfb; without them, one 1024x768 screen.
vf_start_xvfb() {
  local n screens=("$@")
  [ ${#screens[@]} -gt 0 ] || screens=(-screen 0 1024x768x24)
  for n in $(seq 91 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n "${screens[@]}" -nolisten tcp >/dev/null 2>&1 &
    vf_xvfb_pid=$!
    local i
    for i in $(seq 1 50); do
      if xdpyinfo -display :$n >/dev/null 2>&1; then
        export DISPLAY=:$n
        return 0
      fi
      kill -0 $vf_xvfb_pid 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "wine-env: no virtual display could be started" >&2
  return 1
}

vf_wine_session() {
  local dir=$1 use_current=${2:-}
  mkdir -p "$dir"
  if [ -n "$use_current" ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    :
  else
    vf_start_xvfb
  fi
  export WINEPREFIX=$(realpath "$dir")/wineprefix
  rm -rf "$WINEPREFIX"
  wine wineboot -i >/dev/null 2>&1
  # A virtual display has no window manager: unmanaged windows spare every top-level window's
  # destruction Wine's two-second wait for a window manager that never answers.
  if [ -n "$vf_xvfb_pid" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  fi
  wineserver -w
}

# Moves the session's prefix to a display of two monitors: two Xinerama screens, with RandR
# off so that Wine takes its monitors from Xinerama. Wine's programs of the first display end.
vf_wine_two_monitors() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  if [ -n "$vf_xvfb_pid" ]; then
    kill "$vf_xvfb_pid" 2>/dev/null || true
    wait "$vf_xvfb_pid" 2>/dev/null || true
  fi
  vf_start_xvfb +xinerama -extension RANDR -screen 0 1024x768x24 -screen 1 800x600x24
}

vf_wine_end() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  if [ -n "$vf_xvfb_pid" ]; then
    kill "$vf_xvfb_pid" 2>/dev/null || true
    wait "$vf_xvfb_pid" 2>/dev/null || true
    vf_xvfb_pid=""
  fi
}
