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

# A copy of the first prefix, made afresh by each setup: hard links but for
# the registry files, which Wine rewrites, so nothing done there reaches the
# first.
copy_prefix() {
  local copy=$1 registry
  WINEPREFIX=$copy wineserver -k >/dev/null 2>&1 || true
  rm -rf "$copy"
  cp -al "$WINEPREFIX" "$copy"
  for registry in "$WINEPREFIX"/*.reg; do
    cp --remove-destination "$registry" "$copy/"
  done
}

# A second prefix, in which the tests register the stand-in management
# service (tests/wmi_standin_win.cpp) in place of Wine's.
export TARVOQUIN_STANDIN_PREFIX=$WINEPREFIX-standin
prepare_standin_prefix() {
  copy_prefix "$TARVOQUIN_STANDIN_PREFIX"
}

# A third, as a Windows outside China has it: "微软雅黑" (its replacement
# kept), no "黑体" nor "华文中宋" (an optional feature and an office suite's
# fonts). Wine reads the replacements when a process starts, hence a prefix.
export TARVOQUIN_OUTSIDE_CHINA_PREFIX=$WINEPREFIX-outside-china
prepare_outside_china_prefix() {
  copy_prefix "$TARVOQUIN_OUTSIDE_CHINA_PREFIX"
  local face
  for face in '黑体' '华文中宋'; do
    WINEPREFIX=$TARVOQUIN_OUTSIDE_CHINA_PREFIX wine reg delete \
      'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /f >/dev/null 2>&1
  done
  WINEPREFIX=$TARVOQUIN_OUTSIDE_CHINA_PREFIX wineserver -w
}

wine_env_setup() {
  if [ "${1:-}" = virtual ] || [ -z "${DISPLAY:-}" ]; then
    start_virtual_display || return 1
  fi
  prepare_prefix
  prepare_standin_prefix
  prepare_outside_china_prefix
}

wine_env_cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$TARVOQUIN_STANDIN_PREFIX wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$TARVOQUIN_OUTSIDE_CHINA_PREFIX wineserver -k >/dev/null 2>&1 || true
  if [ -n "$display_server_pid" ]; then
    kill -TERM "$display_server_pid" 2>/dev/null || true
    wait "$display_server_pid" 2>/dev/null || true
    display_server_pid=""
  fi
}
