#!/usr/bin/env bash
# Cross-fades and slow pan and zoom on the real program: frames a second
# that reach the screen, counted on each monitor, and CPU time a second,
# for the Linux build and the Windows build under Wine, on two 1920x1080
# monitors (Xorg dummy driver; needs root) and on one 3840x2160 screen
# (Xvfb). Three settings, the runs taking turns:
#   fade    Transition 3000 ms, Motion 0, Interval 6 s, four pictures of
#           solid colours that differ by a whole channel two by two, so
#           each frame of a fade changes the colour: frames a second over
#           each whole fade (changes - 1 over the time from the first to
#           the last), CPU over the fades, and CPU while the slide then
#           stands still (from 0.7 s after the fade to 0.3 s before the next);
#   motion  Motion 1, Transition 0, Interval 20 s, four pictures of random
#           noise at the screen's size, so a drift of a fraction of a pixel
#           changes the row read: frames counted in each whole second;
#   still   the reference: the defaults (cuts, no motion) on the colours,
#           Interval 6 s: CPU while a slide stands still between cuts.
# Everything else keeps its default (caption at the bottom, fit), except
# Random 0. bench/frame_rate.c reads one whole row of each monitor (a third
# of the way down, clear of the caption) about every millisecond and counts
# the readings that differ, and samples every 50 ms the CPU time
# (utime + stime from /proc) of the saver, its readers, the X server, under
# Wine the prefix's wineserver and its other processes (explorer and the
# services), and the watcher itself; how long the saver's main thread waited
# for a CPU; and the whole machine's busy and stolen time, so that what else
# ran (another build on the shared cores) shows as "others". The program
# gives fades and motion up when it sees under 20 frames a second: a fade
# then shows as a cut, motion as seconds without a frame; the report counts
# both.
#
# Usage: bench/transition_bench.sh [runs]        runs of each setting, default 3
#   BUILD=dir        build root holding linux/ and windows/ (default build)
#   PLATFORMS="linux wine"  LAYOUTS="2x1080p 4k"  (the defaults); the layout
#                    1080p is one 1920x1080 screen (Xvfb)
#   MODES="fade motion still"  (the default); also fade-overlay (a fade
#                    with the status overlay on, DebugMode 1) and motion-bare
#                    (motion without the caption, ShowFilename 0)
#   OUT=dir          where the raw readings, sessions.jsonl and report.txt
#                    stay (default a new /tmp/glimmora-transition.XXXXXX)
#   SHOTS=dir        also save screenshots (a mid-fade frame, two motion
#                    frames a second apart, the status overlay) from a
#                    session of their own, after the measured ones
# shellcheck disable=SC2086 # the strips are lists of numbers
set -u
cd "$(dirname "$0")/.." || exit 1
root=$(pwd)
build=$(cd "${BUILD:-build}" && pwd) || exit 1
fade_interval=6000 motion_interval=20000 transition=3000

if [ "${1:-}" != --one ]; then
  runs=${1:-3}
  out=${OUT:-$(mktemp -d /tmp/glimmora-transition.XXXXXX)}
  mkdir -p "$out"
  for platform in ${PLATFORMS:-linux wine}; do
    for layout in ${LAYOUTS:-2x1080p 4k}; do
      echo "== $platform $layout ($(uptime | sed 's/.*load/load/'))" >&2
      "$0" --one "$platform" "$layout" "$runs" "$out" || echo "-- $platform $layout failed" >&2
    done
  done
  python3 bench/transition_frames.py report "$out/sessions.jsonl" | tee "$out/report.txt"
  echo "raw readings and sessions in $out" >&2
  exit 0
fi

# One platform on one layout: --one PLATFORM LAYOUT RUNS OUT.
platform=$2 layout=$3 runs=$4 out=$5
if [ "$platform" = wine ]; then
  source tests/e2e/lib.sh "$build/windows/glimmora.scr" "$root" "$build/windows"
else
  source tests/e2e/lib.sh "$build/linux/glimmora" "$root" "$build/linux"
fi
export NO_AT_BRIDGE=1
cc -O2 -o "$E2E_TMP/frame_rate" bench/frame_rate.c -lX11 || fail "cannot build frame_rate"
cc -O2 -o "$E2E_TMP/frame_watch" tests/e2e/frame_watch.c -lX11 || fail "cannot build frame_watch"

case $layout in
  1080p)
    start_xvfb 1920x1080x24
    width=1920 height=1080 monitors=1 strips="0 360 1920" ;;
  2x1080p)
    start_xorg_two_monitors 1920x1080 1920x1080
    width=1920 height=1080 monitors=2 strips="0 360 1920 1920 360 1920" ;;
  4k)
    start_xvfb 3840x2160x24
    width=3840 height=2160 monitors=1 strips="0 720 3840" ;;
  *) fail "unknown layout $layout" ;;
esac
xserver=${E2E_PIDS[-1]}
if win; then
  wineserver -f -p &  # ended by the library's cleanup (wineserver -k)
  wineserver_pid=$!
fi

# The pictures: solid colours (PNG) and noise (JPEG), at the screen's size.
pictures=$E2E_TMP/pictures
mkdir -p "$pictures/colours" "$pictures/noise"
n=0
for colour in ff0000 00ff00 0000ff ffffff; do
  n=$((n + 1))
  convert -size "${width}x$height" "xc:#$colour" "$pictures/colours/c$n.png" || fail "convert"
  convert -size "${width}x$height" xc:gray50 -seed "$n" -attenuate 1 +noise Random -quality 92 \
    "$pictures/noise/n$n.jpg" || fail "convert"
done

store() {
  setting 7 ImageDirectory "$(folder_value "$pictures/$1")"
  setting 4 Interval "$2"
  setting 4 Transition "$3"
  setting 4 Motion "$4"
  setting 4 ShowFilename "$5"
  setting 4 DebugMode "$6"
}
setting 4 Random 0

# Processes of the prefix other than the saver, its readers and the wineserver.
wine_others() {
  local p
  for p in $(ls /proc | grep -E '^[0-9]+$'); do
    [[ "$p" = "$pid" || "$p" = "$wineserver_pid" || "$(readlink "/proc/$p/exe")" != /usr/lib/wine/* ]] && continue
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$p"
  done | grep -vxF -f <(reader_pids "$pid"; echo none) | paste -sd, -
}

# Starts the saver and waits for its first picture; sets pid.
start_show() {
  local start out
  start=$(date +%s%N)
  start_saver "$monitors"
  out=$("$E2E_TMP/frame_watch" "$start" 30000 --any 100 360 "$((width / 2))" "$((height / 3))")
  [[ "${out%% *}" =~ ^[0-9]+$ ]] || fail "no first picture: $out"
}

stop_show() {
  xdotool key Escape
  wait_exit "$pid" 15 || { kill "$pid"; wait_exit "$pid" 5; }
  sleep 0.5
}

# session MODE RUN: one measured session of a setting.
session() {
  local mode=$1 run=$2 lead seconds raw readers groups caption=2 overlay=0
  [ "$mode" = motion-bare ] && caption=0
  [ "$mode" = fade-overlay ] && overlay=1
  case $mode in
    fade*)
      store colours "$fade_interval" "$transition" 0 $caption $overlay
      lead=3.5 seconds=$((fade_interval * 4 / 1000 + 1)) ;;
    motion*) store noise "$motion_interval" 0 1 $caption $overlay; lead=0 seconds=15 ;;
    still) store colours "$fade_interval" 0 0 $caption $overlay; lead=1 seconds=$((fade_interval * 3 / 1000 + 1)) ;;
  esac
  start_show
  sleep "$lead"
  readers=$(reader_pids "$pid" | paste -sd, -)
  groups=(--cpu saver "$pid" --cpu readers "${readers:-0}" --cpu xserver "$xserver")
  win && groups+=(--cpu wineserver "$wineserver_pid" --cpu wine-other "$(wine_others)")
  raw="$out/$platform-$layout-$mode-$run.txt"
  "$E2E_TMP/frame_rate" "$seconds" "${groups[@]}" $strips >"$raw" || fail "frame_rate"
  stop_show
  python3 bench/transition_frames.py session "${mode%%-*}" "$raw" mode="$mode" transition="$transition" platform="$platform" layout="$layout" run="$run" \
    load="$(cut -d' ' -f1 /proc/loadavg)" >>"$out/sessions.jsonl"
  note "$mode run $run: $(grep -c '^change' "$raw") frames seen, load $(cut -d' ' -f1 /proc/loadavg)"
}

for run in $(seq "$runs"); do
  for mode in ${MODES:-fade motion still}; do session "$mode" "$run"; done
done

# Screenshots, from sessions of their own: the middle of the second fade,
# then the status overlay (F7 then F8: it shows from the next frame, so after
# the next fade); two motion frames a second apart, then the overlay after
# the next slide.
if [ -n "${SHOTS:-}" ]; then
  mkdir -p "$SHOTS"
  name="$SHOTS/$platform-$layout"
  at() { echo "$(($1 / 1000)).$(printf %03d $(($1 % 1000)))"; }
  store colours "$fade_interval" "$transition" 0 2 0
  start_show
  sleep "$(at $((fade_interval + transition / 2)))"
  screenshot "$name-mid-fade.png"
  xdotool key F7 key F8
  sleep "$(at "$fade_interval")"
  screenshot "$name-fade-overlay.png"
  stop_show
  note "mid-fade colour on each monitor: $(for x in $(seq 100 "$width" $((width * monitors))); do
    echo -n "$(pixel "$name-mid-fade.png" "$x" 360) "
  done)"
  store noise "$motion_interval" 0 1 2 0
  start_show
  sleep 3
  screenshot "$name-motion-a.png"
  sleep 1
  screenshot "$name-motion-b.png"
  xdotool key F7 key F8
  sleep "$(at $((motion_interval - 2000)))"
  screenshot "$name-motion-overlay.png"
  stop_show
  note "pixels changed between the motion frames: $(compare -metric AE "$name-motion-a.png" "$name-motion-b.png" null: 2>&1)"
fi
