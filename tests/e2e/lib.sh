# Helpers for the end-to-end scripts: a private X display, window lookup,
# screenshots and a private Wine prefix. Source it; every script then runs
# with its own Xvfb (or Xorg dummy) server that is stopped on exit.
set -u
E2E_TMP=$(mktemp -d /tmp/glimmora-e2e.XXXXXX)
E2E_PIDS=()
E2E_KEEP=${E2E_KEEP:-}

e2e_cleanup() {
  local pid
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  if [ -n "${WINEPREFIX:-}" ] && [ "${E2E_PRIVATE_PREFIX:-}" = 1 ]; then wineserver -k 2>/dev/null; fi
  wait 2>/dev/null
  [ -z "$E2E_KEEP" ] && rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "-- $*" >&2; }

# Waits until a server started with -displayfd has written its display
# number to the file, and exports DISPLAY. The server picks a free number
# itself, so scripts that run side by side never share a display.
e2e_take_display() {
  local file=$1 n
  for _ in $(seq 200); do
    if [ "$(wc -l <"$file" 2>/dev/null)" -ge 1 ] 2>/dev/null; then
      n=$(head -n 1 "$file" | tr -dc '0-9')
      [ -n "$n" ] && { export DISPLAY=":$n"; return 0; }
    fi
    sleep 0.05
  done
  return 1
}

# Starts Xvfb (one 1280x1024 screen by default) and exports DISPLAY.
start_xvfb() {
  local size=${1:-1280x1024x24}
  Xvfb -displayfd 3 -screen 0 "$size" -noreset -nolisten tcp 3>"$E2E_TMP/xvfb.display" >"$E2E_TMP/xvfb.log" 2>&1 &
  E2E_PIDS+=($!)
  e2e_take_display "$E2E_TMP/xvfb.display" || fail "Xvfb did not start"
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.05; done
  fail "Xvfb did not start"
}

# Starts Xorg with the dummy driver and two outputs side by side:
# 800x600 at (0,0) and 640x480 at (800,0). Needs root.
start_xorg_two_monitors() {
  local conf="$E2E_TMP/xorg.conf"
  cat >"$conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 1440 600
  EndSubSection
EndSection
CONF
  Xorg -displayfd 3 -config "$conf" -noreset -nolisten tcp -novtswitch -sharevts -logfile "$E2E_TMP/xorg.log" \
    3>"$E2E_TMP/xorg.display" >"$E2E_TMP/xorg.out" 2>&1 &
  E2E_PIDS+=($!)
  e2e_take_display "$E2E_TMP/xorg.display" || fail "Xorg dummy did not start (see $E2E_TMP/xorg.log)"
  for _ in $(seq 200); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
  xdpyinfo >/dev/null 2>&1 || fail "Xorg dummy did not start (see $E2E_TMP/xorg.log)"
  xrandr --output DUMMY0 --mode 800x600 --pos 0x0 >/dev/null 2>&1
  xrandr --addmode DUMMY1 640x480 >/dev/null 2>&1
  xrandr --output DUMMY1 --mode 640x480 --pos 800x0 >/dev/null 2>&1 || fail "xrandr could not add the second output"
  # A full query makes the server probe its outputs again: until then it
  # reports DUMMY1 with its old state to clients that only read the current
  # configuration (Wine among them sees one monitor).
  xrandr >/dev/null 2>&1
}

# Waits for a visible window whose name matches; prints its id.
wait_for_window() {
  local pattern=$1 timeout=${2:-15} id
  for _ in $(seq $((timeout * 10))); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits for a visible window of a class; prints all their ids.
wait_for_class() {
  local pattern=$1 count=${2:-1} timeout=${3:-15} ids
  for _ in $(seq $((timeout * 10))); do
    ids=$(xdotool search --onlyvisible --class "$pattern" 2>/dev/null)
    [ "$(printf '%s\n' $ids | grep -c .)" -ge "$count" ] && { echo "$ids"; return 0; }
    sleep 0.1
  done
  return 1
}

# Prints "x y width height" of a window.
window_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}

# Waits for a background process of this shell to end and sets EXIT_CODE
# (124 on timeout). Not for use inside $(...): only this shell can wait.
wait_exit() {
  local pid=$1 timeout=${2:-15}
  EXIT_CODE=124
  for _ in $(seq $((timeout * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      EXIT_CODE=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

screenshot() { import -window root "$1" 2>/dev/null; }

# The colour of one pixel of a screenshot, as "r,g,b".
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# A private copy of the shared Wine prefix, so tests do not see each
# other's registry.
use_private_wine_prefix() {
  local src
  src=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../cmake" && pwd)
  source "$src/wine-env.sh"
  glimmora_wine_prefix || fail "cannot prepare the Wine prefix"
  cp -a "$WINEPREFIX" "$E2E_TMP/wineprefix"
  export WINEPREFIX="$E2E_TMP/wineprefix"
  E2E_PRIVATE_PREFIX=1
}
