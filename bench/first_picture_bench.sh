#!/usr/bin/env bash
# Time from process start to the first picture on the screen, for the Linux
# saver (/S) and for feh (--recursive --randomize --fullscreen) on the same
# generated picture trees, each program on an Xvfb of its own (1280x1024,
# black root), runs interleaved. The first non-black frame is detected by
# tests/e2e/frame_watch.c reading nine points of the root window every 2 ms.
# A bare GTK3 window painted on its first draw (bench/gtk_floor.c) runs in
# turn with them: the floor any GTK program starts from on this machine.
# The trees are folders of 100 small JPEGs (640x480, hard links to 32 real
# photos derived from samples/), kept in $TREES between runs; the file cache
# is warm (one unmeasured run of each program first).
#
# Usage: bench/first_picture_bench.sh [build-dir] [runs] [files...]
#   build-dir  default build/linux; runs default 11; files default 100000 1000000
#   TREES=dir  where the trees are kept (default /tmp; 1,000,000 files need about
#              150 MB of directory blocks, the 32 sources under 1 MB)
#   BEFORE=dir another build of the program (a build before a change) measured in
#              turn with the others, as "before"
set -u
cd "$(dirname "$0")/.."
root=$(pwd)
build=${1:-build/linux}
runs=${2:-11}
shift $(($# > 2 ? 2 : $#))
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(100000 1000000)
trees=${TREES:-/tmp}
program="$root/$build/glimmora"
tool="$root/$build/tests/glimmora_settings_tool"
[ -x "$program" ] && [ -x "$tool" ] || { echo "build $build first (glimmora and its tests)" >&2; exit 1; }
before=${BEFORE:+$(cd "$BEFORE" && pwd)/glimmora}
[ -z "$before" ] || [ -x "$before" ] || { echo "no program at $before" >&2; exit 1; }
whos=(glimmora feh gtk-floor)
[ -n "$before" ] && whos=(before "${whos[@]}")
command -v feh >/dev/null || { echo "feh is not installed" >&2; exit 1; }

source bench/bench_lib.sh

cc -O2 -o "$work/frame_watch" tests/e2e/frame_watch.c -lX11 || exit 1
# shellcheck disable=SC2046
cc -O2 -o "$work/gtk_floor" bench/gtk_floor.c $(pkg-config --cflags --libs gtk+-3.0) || exit 1
points="100 100 640 100 1180 100 100 512 640 512 1180 512 100 924 640 924 1180 924"

# Small real JPEGs: the samples at 640x480, each in eight variations.
sample_variations "$work" s -resize 640x480^ -gravity center -extent 640x480 -quality 85
sources=("${SOURCES[@]}")

start_xvfb ours
ours_display=$XVFB_DISPLAY
start_xvfb feh
feh_display=$XVFB_DISPLAY

# Runs a program once on a display; prints the milliseconds to its first
# non-black frame (-1 after 120 s), then the milliseconds its main thread had
# been on a CPU and waiting for one by then (/proc/PID/schedstat): on a busy
# machine the wall time is mostly the wait.
measure() {
  local display=$1 start pid result cpu wait
  shift
  start=$(date +%s%N)
  DISPLAY=$display "$@" >/dev/null 2>&1 &
  pid=$!
  result=$(DISPLAY=$display "$work/frame_watch" "$start" 120000 --any $points)
  read -r cpu wait _ <"/proc/$pid/schedstat"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  sleep 0.3
  [[ "${result%% *}" =~ ^[0-9]+$ ]] || result=-1
  echo "${result%% *} $((cpu / 1000000)) $((wait / 1000000))"
}

# "median min max" of the numbers given
stats() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {printf "%6d %6d %6d", v[int((NR+1)/2)], v[1], v[NR]}'; }
median() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {printf "%6d", v[int((NR+1)/2)]}'; }

export XDG_CONFIG_HOME="$work/config"
echo "milliseconds from process start to the first picture (wall: median min max; main thread on a CPU"
echo "and waiting for one until then: medians)"
printf '%-14s %-9s %4s %6s %6s %6s %6s %6s\n' tree program runs wall min max cpu wait
for files in "${sizes[@]}"; do
  folders=$(((files + 99) / 100))
  tree="$trees/glimmora-tree-$files"
  python3 bench/make_tree.py "$tree" "$folders" 100 "${sources[@]}" || exit 1
  "$tool" set HKCU 'Software\Glimmora' 7 ImageDirectory "$tree/" >/dev/null
  measure "$ours_display" "$program" /S >/dev/null
  [ -n "$before" ] && measure "$ours_display" "$before" /S >/dev/null
  measure "$feh_display" feh --recursive --randomize --fullscreen "$tree" >/dev/null
  walls=() cpus=() waits=()
  for _ in $(seq "$runs"); do
    for who in "${whos[@]}"; do
      if [ $who = before ]; then
        read -r wall cpu wait <<<"$(measure "$ours_display" "$before" /S)"
      elif [ $who = glimmora ]; then
        read -r wall cpu wait <<<"$(measure "$ours_display" "$program" /S)"
      elif [ $who = gtk-floor ]; then
        read -r wall cpu wait <<<"$(measure "$ours_display" "$work/gtk_floor")"
      else
        read -r wall cpu wait <<<"$(measure "$feh_display" feh --recursive --randomize --fullscreen "$tree")"
      fi
      walls+=("$who $wall") cpus+=("$who $cpu") waits+=("$who $wait")
    done
  done
  for who in "${whos[@]}"; do
    of() { printf '%s\n' "$@" | awk -v w=$who '$1 == w {print $2}'; }
    # shellcheck disable=SC2046
    printf '%-14s %-9s %4d %s %s %s   (%s)\n' "$((folders * 100))" $who "$runs" "$(stats $(of "${walls[@]}"))" \
      "$(median $(of "${cpus[@]}"))" "$(median $(of "${waits[@]}"))" "$(of "${walls[@]}" | tr '\n' ' ')"
  done
done
