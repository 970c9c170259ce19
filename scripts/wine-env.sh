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

xvfb_pid=""

start_virtual_display() {
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      xvfb_pid=$!
      local waited=0
      while [ ! -e "/tmp/.X11-unix/X$n" ]; do
        sleep 0.2; waited=$((waited + 1))
        if [ $waited -gt 100 ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
          echo "wine-env: Xvfb on :$n did not start" >&2; return 1
        fi
      done
      export DISPLAY=":$n"
      return 0
    fi
  done
  echo "wine-env: no free display number" >&2
  return 1
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

wine_env_setup() {
  if [ "${1:-}" = virtual ] || [ -z "${DISPLAY:-}" ]; then
    start_virtual_display || return 1
  fi
  prepare_prefix
}

wine_env_cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  fi
}
