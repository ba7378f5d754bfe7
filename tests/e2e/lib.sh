# Helpers for the end-to-end scripts: the platform under test, a private X
# display, window lookup, screenshots and a private settings store. Every
# script takes "program source-dir build-dir" and sources this first; it then
# runs with its own Xvfb (or Xorg dummy) server that is stopped on exit.
set -u
program=$1 src=$2 build=$3
E2E_TMP=$(mktemp -d /tmp/glimmora-e2e.XXXXXX)
E2E_PIDS=()
E2E_KEEP=${E2E_KEEP:-}
title="Glimmora - slide show by Glimmora Labs"

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
    if [ "$(wc -l 2>/dev/null <"$file")" -ge 1 ] 2>/dev/null; then
      n=$(head -n 1 "$file" | tr -dc '0-9')
      [ -n "$n" ] || continue
      # A Wine session keeps the display its first process found (even none,
      # for a settings write before any server): what starts in it later is
      # drawn there, out of sight. The session ends before the display changes.
      if [ "${E2E_PRIVATE_PREFIX:-}" = 1 ]; then wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; fi
      export DISPLAY=":$n"
      return 0
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

# Starts Xorg with the dummy driver and two outputs side by side: by
# default 800x600 at (0,0) and 640x480 at (800,0); other modes the dummy
# driver knows may be given ("1920x1080 1920x1080"). Needs root.
start_xorg_two_monitors() {
  local conf="$E2E_TMP/xorg.conf" first=${1:-800x600} second=${2:-640x480}
  local w1=${first%x*} h1=${first#*x} w2=${second%x*} h2=${second#*x}
  cat >"$conf" <<CONF
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
    Virtual $((w1 + w2)) $((h1 > h2 ? h1 : h2))
  EndSubSection
EndSection
CONF
  Xorg -displayfd 3 -config "$conf" -noreset -nolisten tcp -novtswitch -sharevts -logfile "$E2E_TMP/xorg.log" \
    3>"$E2E_TMP/xorg.display" >"$E2E_TMP/xorg.out" 2>&1 &
  E2E_PIDS+=($!)
  e2e_take_display "$E2E_TMP/xorg.display" || fail "Xorg dummy did not start (see $E2E_TMP/xorg.log)"
  for _ in $(seq 200); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
  xdpyinfo >/dev/null 2>&1 || fail "Xorg dummy did not start (see $E2E_TMP/xorg.log)"
  xrandr --output DUMMY0 --mode "$first" --pos 0x0 >/dev/null 2>&1
  xrandr --addmode DUMMY1 "$second" >/dev/null 2>&1
  xrandr --output DUMMY1 --mode "$second" --pos "${w1}x0" >/dev/null 2>&1 || fail "xrandr could not add the second output"
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

# The colours of the generated pictures, picture n having colour n.
SHOW_COLOURS=(e02020 20c020 2040e0 e0c020 c020c0 20c0c0)
# Writes the pictures pic1..pic6 (4:3, so scale mode 1 fills both monitors),
# each a solid colour with its number in the middle; PNG and JPEG, one in a
# subfolder and one with an upper-case extension.
make_pictures() {
  local dir=$1 n name
  mkdir -p "$dir/more"
  for n in 1 2 3 4 5 6; do
    case $n in
      1 | 4) name="$dir/pic$n.png" ;;
      5) name="$dir/more/pic$n.jpg" ;;
      6) name="$dir/pic$n.JPG" ;;
      *) name="$dir/pic$n.jpg" ;;
    esac
    convert -size 800x600 "xc:#${SHOW_COLOURS[n - 1]}" -gravity center -pointsize 200 -fill white \
      -annotate 0 "$n" -quality 92 "$name" || fail "cannot write $name"
  done
}

# Which picture an "r,g,b" colour belongs to: its number, "black", or "?".
picture_of() {
  local rgb=$1 n hex r g b
  IFS=, read -r r g b <<<"$rgb"
  [ "$r,$g,$b" = "0,0,0" ] && { echo black; return; }
  for n in 1 2 3 4 5 6; do
    hex=${SHOW_COLOURS[n - 1]}
    local dr=$((r - 16#${hex:0:2})) dg=$((g - 16#${hex:2:2})) db=$((b - 16#${hex:4:2}))
    if [ $((${dr#-} + ${dg#-} + ${db#-})) -le 45 ]; then echo "$n"; return; fi
  done
  echo "?"
}

# A point inside each monitor, clear of the label in the picture's middle
# and of the caption at the bottom.
SHOW_POINTS=("200 150" "960 120")

# True when both monitors show a (known) picture and they differ.
two_pictures() {
  local a b
  read -r a b <<<"$1"
  [[ "$a" =~ ^[1-6]$ && "$b" =~ ^[1-6]$ && "$a" != "$b" ]]
}

# Takes a screenshot into $1 and prints the pictures at the points of the
# two monitors, "a b".
monitor_pictures() {
  local x1 y1 x2 y2
  read -r x1 y1 <<<"${SHOW_POINTS[0]}"
  read -r x2 y2 <<<"${SHOW_POINTS[1]}"
  screenshot "$1"
  echo "$(picture_of "$(pixel "$1" "$x1" "$y1")") $(picture_of "$(pixel "$1" "$x2" "$y2")")"
}

# What differs between the platforms. glimmora.scr is the Windows build,
# run under Wine (RUN) with a private copy of the shared prefix, so tests do
# not see each other's registry; the Linux build gets a private config folder.
if [[ $program == *.scr ]]; then
  PLATFORM=win RUN=(wine) SAVER_CLASS=glimmora.scr UNIT_TESTS="$build/tests/glimmora_tests_win.exe" exe=.exe
  source "$src/cmake/wine-env.sh"
  glimmora_wine_prefix || fail "cannot prepare the Wine prefix"
  cp -a "$WINEPREFIX" "$E2E_TMP/wineprefix"
  export WINEPREFIX="$E2E_TMP/wineprefix"
  E2E_PRIVATE_PREFIX=1
else
  PLATFORM=linux RUN=() SAVER_CLASS=glimmora UNIT_TESTS="$build/tests/glimmora_tests" exe=
  export XDG_CONFIG_HOME="$E2E_TMP/config"
fi
SETTINGS_TOOL="$build/tests/glimmora_settings_tool$exe"
# From here on the fault tests' build of the program (its readers crash,
# stall or allocate without end on files whose names say so) is the one run.
use_fault_build() {
  program="$build/glimmora_faults${program##*/glimmora}"
  [ -f "$program" ] || fail "no fault tests' build at $program"
  win && SAVER_CLASS=glimmora_faults.scr
}
[ -f "$SETTINGS_TOOL" ] || fail "no settings tool at $SETTINGS_TOOL"
win() { [ "$PLATFORM" = win ]; }

# Starts the program in the background with the given switches; sets pid.
launch() {
  "${RUN[@]}" "$program" "$@" &
  pid=$!
}
# The settings tool; Windows console output ends its lines with CR-LF.
tool() { "${RUN[@]}" "$SETTINGS_TOOL" "$@" | tr -d '\r'; }
setting() { [ "$(tool set HKCU 'Software\Glimmora' "$1" "$2" "$3")" = ok ] || fail "cannot store $2"; }
# A folder as the options dialog stores it, with its final separator.
folder_value() { if win; then echo "$(winepath -w "$1")\\"; else echo "$1/"; fi; }

# Starts the saver with /S and waits for its windows ($1, 1 by default);
# sets pid and ids.
start_saver() {
  launch /S
  ids=$(wait_for_class "$SAVER_CLASS" "${1:-1}" 30) || fail "fewer than ${1:-1} saver windows"
}

# The reader processes of the saver $1: its children on Linux; under Wine,
# which starts them apart from it, those of this test's prefix.
reader_pids() {
  local p
  if ! win; then pgrep -P "$1"; return; fi
  for p in $(pgrep -f -- --glimmora-reader); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$p"
  done
}

# Ends the saver of $pid with a key and checks that it ended cleanly.
end_saver() {
  xdotool mousemove 900 100 key x
  wait_exit "$pid" 15 || fail "the saver did not end on a key"
  [ "$EXIT_CODE" = 0 ] || fail "saver exit code $EXIT_CODE"
  # The X server takes the windows away once it has seen the connection
  # close, a moment after the process has gone.
  for _ in $(seq 20); do
    xdotool search --onlyvisible --class "$SAVER_CLASS" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "the saver's windows stayed after it ended"
}

# Runs the platform GoogleTests of the filter $1 against this display;
# fails when one fails or is skipped, or when a pattern of the filter matched
# no test. Shows the result line of each test.
platform_tests() {
  local log="$E2E_TMP/unit.log" patterns pattern prefix
  timeout 120 "${RUN[@]}" "$UNIT_TESTS" --gtest_filter="$1" >"$log" 2>&1 || { cat "$log" >&2; fail "platform tests"; }
  tr -d '\r' <"$log" | grep -E '^\[ +(OK|SKIPPED|FAILED) +\]' >&2
  grep -q '^\[  SKIPPED \]' "$log" && fail "platform tests were skipped"
  IFS=: read -ra patterns <<<"$1"
  for pattern in "${patterns[@]}"; do
    prefix=${pattern%%\**}
    grep -q "^\[       OK \] ${prefix//./\\.}" "$log" || fail "no platform test ran for $pattern"
  done
}

# Runs win_host.c (built on first use) with a mode and a place: a host
# window of another process for the saver's switches that take a window.
run_host() {
  [ -f "$E2E_TMP/win_host.exe" ] || x86_64-w64-mingw32-gcc -O1 -o "$E2E_TMP/win_host.exe" \
    "$src/tests/e2e/win_host.c" -luser32 || fail "cannot build the host program"
  timeout 60 wine "$E2E_TMP/win_host.exe" "$@" "$(winepath -w "$program")" >"$E2E_TMP/host.log" 2>&1
  local status=$?
  tr -d '\r' <"$E2E_TMP/host.log" | grep -v '^[0-9a-f]*:' >&2
  return $status
}

# A host window of another program for /P and /C on Linux: an xmessage at
# geometry $1 (border $2), placed without a window manager; sets HOST and
# HOST_PID.
start_host() {
  xmessage -geometry "$1" ${2:+-bw "$2"} -name glimmora-host host 2>/dev/null &
  HOST_PID=$!
  E2E_PIDS+=("$HOST_PID")
  HOST=$(wait_for_window '^glimmora-host$' 15) || fail "xmessage did not open"
}

# Prints the id of the saver's window inside HOST, waiting for it.
preview_child() {
  local child
  for _ in $(seq 100); do
    child=$(xwininfo -children -id "$HOST" | awk '/^ +0x/ && /"Glimmora"/ {print $1}' | head -n 1)
    [ -n "$child" ] && { echo "$child"; return 0; }
    sleep 0.1
  done
  return 1
}

# Closes HOST: the preview of $pid must end with it, with code 0.
close_host() {
  kill "$HOST_PID"
  wait_exit "$pid" 15 || fail "the preview outlived its host"
  [ "$EXIT_CODE" = 0 ] || fail "preview exit code $EXIT_CODE"
}
