#!/usr/bin/env bash
# Between slides and over many slides (docs/benchmarks.md, "Slide show"):
#  1. Idle CPU: the saver (/S, Interval 15 s) and, side by side, feh
#     (--fullscreen --randomize --slideshow-delay 15) on the same 32 pictures,
#     each on an Xvfb of its own (1280x1024); after 5 s of settling, the CPU
#     time (user + system, all threads) over the next 60 s from
#     /proc/PID/stat. With a Windows build: glimmora.scr under Wine too (its
#     own process and the private prefix's wineserver counted).
#  2. Memory over 10,000 frames: bench/slide_memory_bench (the real saver,
#     ticks driven in a loop) on the same pictures plus a PNG, the resident
#     set and open descriptors every 1,000 frames.
# Usage: bench/slide_show_bench.sh [linux-build] [windows-build] [seconds] [frames]
#   defaults: build/linux build/windows 60 10000; a missing Windows build is skipped.
set -u
cd "$(dirname "$0")/.."
root=$(pwd)
linux=$root/${1:-build/linux}
windows=$root/${2:-build/windows}
seconds=${3:-60}
frames=${4:-10000}
[ -x "$linux/glimmora" ] && [ -x "$linux/bench/slide_memory_bench" ] || { echo "build $linux first" >&2; exit 1; }

source bench/bench_lib.sh

# 32 real pictures: the samples at their own sizes, in eight variations, and
# one PNG for the gdk-pixbuf path of the memory run.
pictures="$work/pictures"
mkdir -p "$pictures"
sample_variations "$pictures" p -quality 88
n=${#SOURCES[@]}

# CPU time of a process so far, in milliseconds (all its threads).
cpu_ms() { awk -v hz="$(getconf CLK_TCK)" '{print int(($14 + $15) * 1000 / hz)}' "/proc/$1/stat" 2>/dev/null; }

# The settings store of each build: the pictures, a 15 s interval.
export XDG_CONFIG_HOME="$work/config"
"$linux/tests/glimmora_settings_tool" set HKCU 'Software\Glimmora' 7 ImageDirectory "$pictures/" >/dev/null
"$linux/tests/glimmora_settings_tool" set HKCU 'Software\Glimmora' 4 Interval 15000 >/dev/null

echo "== idle CPU between slides: interval 15 s, CPU time over ${seconds} s after 5 s of settling"
start_xvfb ours
DISPLAY=$XVFB_DISPLAY "$linux/glimmora" /S &
ours=$!
pids+=($ours)
start_xvfb feh
DISPLAY=$XVFB_DISPLAY feh --fullscreen --randomize --slideshow-delay 15 "$pictures" >/dev/null 2>&1 &
feh=$!
pids+=($feh)
wine_pid=
if [ -f "$windows/glimmora.scr" ] && command -v wine >/dev/null; then
  source cmake/wine-env.sh
  glimmora_wine_prefix && cp -a "$WINEPREFIX" "$work/wineprefix"
  export WINEPREFIX="$work/wineprefix"
  start_xvfb wine
  export DISPLAY=$XVFB_DISPLAY
  wineserver -f -p &
  wineserver_pid=$!
  pids+=($wineserver_pid)
  tool="$windows/tests/glimmora_settings_tool.exe"
  wine "$tool" set HKCU 'Software\Glimmora' 7 ImageDirectory "$(winepath -w "$pictures")\\" >/dev/null
  wine "$tool" set HKCU 'Software\Glimmora' 4 Interval 15000 >/dev/null
  wine "$windows/glimmora.scr" /S &
  wine_pid=$!
  pids+=($wine_pid)
fi
sleep 5
a_ours=$(cpu_ms $ours) a_feh=$(cpu_ms $feh)
[ -n "$wine_pid" ] && a_wine=$(cpu_ms $wine_pid) a_server=$(cpu_ms $wineserver_pid)
sleep "$seconds"
b_ours=$(cpu_ms $ours) b_feh=$(cpu_ms $feh)
printf '%-34s %8s\n' program "cpu ms"
printf '%-34s %8d\n' "glimmora (Linux)" $((b_ours - a_ours))
printf '%-34s %8d\n' "feh" $((b_feh - a_feh))
if [ -n "$wine_pid" ]; then
  b_wine=$(cpu_ms $wine_pid) b_server=$(cpu_ms $wineserver_pid)
  printf '%-34s %8d\n' "glimmora.scr (Wine): process" $((b_wine - a_wine))
  printf '%-34s %8d\n' "glimmora.scr (Wine): wineserver" $((b_server - a_server))
fi
for pid in $ours $feh $wine_pid; do kill "$pid" 2>/dev/null; done

echo
echo "== memory over $frames frames (ticks in a loop, 1280x1024, $n JPEGs and a PNG)"
cp samples/more/checks.png "$pictures/"
start_xvfb memory
DISPLAY=$XVFB_DISPLAY "$linux/bench/slide_memory_bench" "$frames" 1000
