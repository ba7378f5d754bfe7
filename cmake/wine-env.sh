# Sourced by the Wine scripts: sets WINEPREFIX and friends and makes sure the
# prefix is booted and configured. Safe to call from parallel tests (flock).
: "${GLIMMORA_WINEPREFIX:=${XDG_CACHE_HOME:-$HOME/.cache}/glimmora/wineprefix}"
export WINEPREFIX="$GLIMMORA_WINEPREFIX"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64

glimmora_wine_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")" || return 1
  (
    flock 9
    [ -f "$WINEPREFIX/.glimmora-ready" ] && exit 0
    rm -rf "$WINEPREFIX"
    if [ -z "${DISPLAY:-}" ]; then
      xvfb-run -a -s "-nolisten tcp" wineboot -i >/dev/null 2>&1
    else
      wineboot -i >/dev/null 2>&1
    fi
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f >/dev/null 2>&1
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null 2>&1
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.glimmora-ready"
  ) 9>"$WINEPREFIX.lock"
}
