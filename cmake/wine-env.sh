# Sourced by the Wine scripts: sets WINEPREFIX and friends and makes sure the
# prefix is booted and configured. Safe to call from parallel tests (flock).
: "${GLIMMORA_WINEPREFIX:=${XDG_CACHE_HOME:-$HOME/.cache}/glimmora/wineprefix}"
export WINEPREFIX="$GLIMMORA_WINEPREFIX"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64

# Wine's own fonts (package fonts-wine: Marlett, MS Sans Serif, Tahoma) in the
# prefix's Fonts folder, also for a prefix booted before the package arrived.
glimmora_wine_fonts() {
  local fonts=/usr/share/wine/fonts dest="$WINEPREFIX/drive_c/windows/Fonts"
  [ -d "$fonts" ] && [ -d "$dest" ] || return 0
  [ -e "$dest/marlett.ttf" ] || cp -n "$fonts"/* "$dest/" 2>/dev/null
  return 0
}

glimmora_wine_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")" || return 1
  (
    flock 9
    if [ -f "$WINEPREFIX/.glimmora-ready" ]; then
      glimmora_wine_fonts
      exit 0
    fi
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
    glimmora_wine_fonts
    touch "$WINEPREFIX/.glimmora-ready"
  ) 9>"$WINEPREFIX.lock"
}
