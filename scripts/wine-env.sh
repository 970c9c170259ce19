# Sourced by the scripts that run Windows programs under Wine.
#   wine_env_setup [virtual]   prepares the prefix; with "virtual" (or when no
#                              DISPLAY is set) starts a private Xvfb display
#   wine_env_cleanup           ends the Wine server and the display it started
# The prefix lives in the build tree, so tests never touch the user's ~/.wine.

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$repo_root/build/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
# The test machine's driver: Mesa's software rasteriser crawls at anisotropic
# filtering, so it hides the extension (the program still asks for it).
export MESA_EXTENSION_OVERRIDE="-GL_EXT_texture_filter_anisotropic -GL_ARB_texture_filter_anisotropic"

display_server_pid=""

# scripts/lib/display.py serve, in the background: it prints the display it
# started, and ends it (removing its socket) when it is told to end.
start_virtual_display() {
  local display=""
  coproc DISPLAY_SERVER { exec /usr/bin/python3 "$repo_root/scripts/lib/display.py" serve; }
  display_server_pid=$DISPLAY_SERVER_PID
  if ! read -r display <&"${DISPLAY_SERVER[0]}" || [ -z "$display" ]; then
    echo "wine-env: Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=$display
}

prepare_prefix() {
  local stamp="$WINEPREFIX/.tarvoquin-ready"
  [ -f "$stamp" ] && return 0
  mkdir -p "$WINEPREFIX"
  echo "wine-env: creating the Wine prefix $WINEPREFIX (first run takes a little while)"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win10 /f >/dev/null 2>&1
  local face
  for face in '微软雅黑' '黑体' '华文中宋'; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
      /d 'WenQuanYi Zen Hei' /f >/dev/null 2>&1
  done
  wineserver -w
  touch "$stamp"
}

# A second prefix, a copy of the first, in which the tests register the
# stand-in management service (tests/wmi_standin_win.cpp) in place of Wine's:
# whatever they leave there never reaches the first. Made afresh by each
# setup: hard links but for the registry files, which Wine rewrites.
export TARVOQUIN_STANDIN_PREFIX=$WINEPREFIX-standin
prepare_standin_prefix() {
  WINEPREFIX=$TARVOQUIN_STANDIN_PREFIX wineserver -k >/dev/null 2>&1 || true
  rm -rf "$TARVOQUIN_STANDIN_PREFIX"
  cp -al "$WINEPREFIX" "$TARVOQUIN_STANDIN_PREFIX"
  local registry
  for registry in "$WINEPREFIX"/*.reg; do
    cp --remove-destination "$registry" "$TARVOQUIN_STANDIN_PREFIX/"
  done
}

wine_env_setup() {
  if [ "${1:-}" = virtual ] || [ -z "${DISPLAY:-}" ]; then
    start_virtual_display || return 1
  fi
  prepare_prefix
  prepare_standin_prefix
}

wine_env_cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$TARVOQUIN_STANDIN_PREFIX wineserver -k >/dev/null 2>&1 || true
  if [ -n "$display_server_pid" ]; then
    kill -TERM "$display_server_pid" 2>/dev/null || true
    wait "$display_server_pid" 2>/dev/null || true
    display_server_pid=""
  fi
}
