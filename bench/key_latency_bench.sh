#!/usr/bin/env bash
# Responsiveness of the saver (/S) to keys, for several builds side by side in
# one run (a build before a change and one after it, say), on Linux and under
# Wine, each platform on an Xvfb of its own (1280x1024, black root). Keys are
# sent through XTest and timed by bench/key_latency.c, which reads two full
# rows of the screen (y 300 and 700) every millisecond or watches the process
# end.
#
# 1. Escape while a huge JPEG is being decoded (361 megapixels, 22000x16400,
#    on Linux; 49 megapixels, 8600x5700, under Wine: each just under its
#    platform's pixel limit): Escape one second after the saver window
#    appears, timed to the end of the process, the builds in turn run after
#    run; one run per build first says how long the picture takes to appear
#    (window to picture) when no key comes.
# 2. First picture: from the process's start to the first picture of the
#    steps' folder (below) on the screen, FIRST_RUNS times (default 5) a
#    build, the builds in turn.
# 3. Steps: a folder of 32 photo-like 24-megapixel JPEGs (the samples at
#    6000x4000 with grain, in eight variations each), default settings but
#    a minute between slides; once the first picture is on the screen, Right
#    STEPS times with a pause between presses (1.5 s on Linux, 3 s under
#    Wine, where preparing one of these pictures takes 1.3 to 2 s), each
#    timed to the next picture on the screen (first changed pixel, and last
#    change of that frame).
# 4. Keys faster than preparation, three times in a fresh session (only the
#    first picture and the next prepared): 8 Right 40 ms apart, timed from
#    the last press to the last change on the screen (once the screen has
#    been still for 10 s), with the number of changes seen; then 8 more
#    followed at once by Escape, timed to the end of the process.
#
# The pictures are made once with ImageMagick (a few minutes; the huge ones
# need a private resource policy, the system's allows 16K pixels a side) and
# kept in $PICTURES between runs.
#
# Usage: bench/key_latency_bench.sh NAME=BUILD NAME=BUILD... [escape-runs] [steps]
#   BUILD        a build root holding linux/glimmora and/or windows/glimmora.scr,
#                for example before=/work/wt-baseline/build after=build; a platform
#                runs when every build has it (PLATFORMS="linux wine" by default)
#   escape-runs  default 10; steps default 20
#   PICTURES=dir default /tmp/glimmora-latency-pictures
#   LINUX_PAUSE_MS, WINE_PAUSE_MS  the pause between steps (1500, 3000)
#   FIRST_ONLY="dir..."  only the first picture, of each of these folders in turn
#                        (FIRST_RUNS times a build)
# The settings tool comes from the last build (linux/tests, windows/tests).
# shellcheck disable=SC2086 # the rows and points are lists of numbers
set -u
cd "$(dirname "$0")/.." || exit 1
names=() builds=()
while [[ $# -gt 0 && "$1" == *=* ]]; do
  names+=("${1%%=*}")
  builds+=("$(cd "${1#*=}" && pwd)") || exit 1
  shift
done
[ ${#builds[@]} -ge 1 ] || { sed -n '2,/^# shellcheck/p' "$0" | sed 's/^# \{0,1\}//;$d'; exit 2; }
last=${builds[-1]}
escape_runs=${1:-10}
steps=${2:-20}
pictures=${PICTURES:-/tmp/glimmora-latency-pictures}
platforms=${PLATFORMS:-linux wine}

source bench/bench_lib.sh

cc -O2 -o "$work/key_latency" bench/key_latency.c -lXtst -lX11 || exit 1
cc -O2 -o "$work/frame_watch" tests/e2e/frame_watch.c -lX11 || exit 1
rows="300 700"
frame_points="100 300 640 300 1180 300 100 700 640 700 1180 700"

# The pictures, made once.
mkdir -p "$pictures/steps" "$pictures/huge-linux" "$pictures/huge-wine"
if [ ! -s "$pictures/steps/.done" ]; then
  echo "making 32 pictures of 24 megapixels in $pictures/steps (a few minutes)" >&2
  sample_variations "$pictures/steps" p -resize 6000x4000^ -gravity center -extent 6000x4000 -attenuate 0.3 \
    +noise Gaussian -quality 92
  echo made >"$pictures/steps/.done"
fi
# The huge pictures: a sample scaled up with grain (about 2.4 bits a pixel,
# like a camera's JPEG at quality 90).
make_huge() {
  local file=$1 size=$2
  [ -s "$file" ] && return 0
  echo "making $file ($size, a few minutes)" >&2
  mkdir -p "$work/policy"
  cat >"$work/policy/policy.xml" <<'XML'
<policymap>
  <policy domain="resource" name="width" value="64KP"/>
  <policy domain="resource" name="height" value="64KP"/>
  <policy domain="resource" name="area" value="1GP"/>
  <policy domain="resource" name="memory" value="4GiB"/>
  <policy domain="resource" name="disk" value="16GiB"/>
</policymap>
XML
  MAGICK_CONFIGURE_PATH="$work/policy" convert samples/sunset.jpg -scale "$size!" -attenuate 0.3 +noise Gaussian \
    -quality 90 "$file.tmp.jpg" && mv "$file.tmp.jpg" "$file"
}
make_huge "$pictures/huge-linux/huge.jpg" 22000x16400 || exit 1
make_huge "$pictures/huge-wine/huge.jpg" 8600x5700 || exit 1

# "median max" of the numbers given, one decimal.
stats() {
  printf '%s\n' "$@" | grep -E '^[0-9.]+$' | sort -n |
    awk '{v[NR]=$1} END {if (NR == 0) print "- -"; else printf "%.1f %.1f", (NR % 2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2), v[NR]}'
}

# The platform being measured: set_platform linux|wine.
set_platform() {
  platform=$1
  start_xvfb "$platform"
  display=$XVFB_DISPLAY
  if [ "$platform" = wine ]; then
    exe=windows/glimmora.scr run=(wine) tool=("wine" "$last/windows/tests/glimmora_settings_tool.exe")
    pause_ms=${WINE_PAUSE_MS:-3000}
  else
    exe=linux/glimmora run=() tool=("$last/linux/tests/glimmora_settings_tool")
    pause_ms=${LINUX_PAUSE_MS:-1500}
  fi
}
setting() {
  DISPLAY=$display "${tool[@]}" set HKCU 'Software\Glimmora' "$1" "$2" "$3" 2>/dev/null | tr -d '\r' | grep -q ok ||
    { echo "cannot store $2" >&2; exit 1; }
}
folder_value() { if [ "$platform" = wine ]; then echo "$(winepath -w "$1")\\"; else echo "$1/"; fi; }

# Starts a build's saver and waits for its window; sets pid and window_ns.
start_saver() {
  DISPLAY=$display "${run[@]}" "$1/$exe" /S >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 600); do
    DISPLAY=$display xdotool search --onlyvisible --class glimmora >/dev/null 2>&1 && break
    sleep 0.05
  done
  window_ns=$(date +%s%N)
}
end_saver() {
  DISPLAY=$display "$work/key_latency" exit "$pid" Escape 30000 >/dev/null
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}
key() { DISPLAY=$display "$work/key_latency" "$@"; }

# How long the huge picture takes to appear (window to picture) when no key
# comes: "calibration ms".
calibrate() {
  local out
  start_saver "$1"
  out=$(DISPLAY=$display "$work/frame_watch" "$window_ns" 120000 --any $frame_points)
  echo "calibration ${out%% *}"
  end_saver
}

# Escape one second after the window appears: "escape ms black|picture".
escape_run() {
  start_saver "$1"
  sleep 1
  echo "escape $(key exit "$pid" Escape 120000 $rows)"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}

# Starts a build's saver on the pictures of the steps and waits for its
# first picture; false when none comes.
start_with_picture() {
  local out
  start_saver "$1"
  out=$(DISPLAY=$display "$work/frame_watch" "$window_ns" 120000 --any $frame_points)
  [[ "${out%% *}" =~ ^[0-9]+$ ]] && return 0
  echo "no first picture: $out" >&2
  end_saver
  return 1
}

# Process start to the first picture: "first ms".
first_run() {
  local start out
  start=$(date +%s%N)
  DISPLAY=$display "${run[@]}" "$1/$exe" /S >/dev/null 2>&1 &
  pid=$!
  out=$(DISPLAY=$display "$work/frame_watch" "$start" 120000 --any $frame_points)
  echo "first ${out%% *}"
  end_saver
}

# Steps in one session of a build: "step first last" a line.
step_session() {
  start_with_picture "$1" || return
  sleep 2
  key step Right "$steps" "$pause_ms" 300 20000 $rows | sed 's/^/step /'
  end_saver
}

# Keys faster than preparation, in a fresh session so that only the first
# picture and the next are prepared: a burst, "burst ms-from-last-key
# changes"; then another burst at once followed by Escape, "burst_escape ms".
burst_session() {
  start_with_picture "$1" || return
  sleep "$(awk -v ms="$pause_ms" 'BEGIN {print ms / 1000}')"
  key burst Right 8 40 10000 120000 $rows | awk '
    /^last_press/ {p = $2} /^settled/ {s = $2} /^changes/ {c = $2}
    END {printf "burst %.1f %d\n", s - p, c}'
  key burst Right 8 40 0 10000 $rows >/dev/null
  echo "burst_escape $(key exit "$pid" Escape 120000)"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}

report() {
  local label=$1 file=$2 f
  of() { awk -v k="$1" -v n="$2" '$1 == k {print $n}' "$file"; }
  # shellcheck disable=SC2046
  {
    printf '%-7s %-6s escape %s (n=%d, picture already shown in %d)  picture after %s ms\n' "$platform" "$label" \
      "$(stats $(of escape 2))" "$(of escape 2 | grep -c .)" "$(of escape 3 | grep -c picture)" "$(of calibration 2)"
    printf '%-7s %-6s first picture from the process start %s (n=%d)\n' "$platform" "$label" "$(stats $(of first 2))" \
      "$(of first 2 | grep -cE '^[0-9.]+$')"
    printf '%-7s %-6s step first %s  last %s (n=%d)\n' "$platform" "$label" "$(stats $(of step 2))" \
      "$(stats $(of step 3))" "$(of step 2 | grep -cE '^[0-9.]+$')"
    printf '%-7s %-6s burst: last key to last picture %s, changes %s; Escape after a burst %s\n' "$platform" \
      "$label" "$(of burst 2 | tr '\n' ' ')" "$(of burst 3 | tr '\n' ' ')" "$(of burst_escape 2 | tr '\n' ' ')"
  } | tee -a "$work/summary"
  for f in first step escape; do echo "  $f: $(of $f 2 | tr '\n' ' ')"; done
}

# True when every build has the platform's program.
all_have() {
  local b
  for b in "${builds[@]}"; do [ -f "$b/$1" ] || return 1; done
}

echo "load: $(uptime)"
for p in $platforms; do
  if [ "$p" = wine ]; then
    all_have windows/glimmora.scr || continue
    source cmake/wine-env.sh
    glimmora_wine_prefix || { echo "cannot prepare the Wine prefix" >&2; exit 1; }
    cp -a "$WINEPREFIX" "$work/wineprefix"
    export WINEPREFIX="$work/wineprefix"
    trap 'wineserver -k 2>/dev/null; cleanup' EXIT
    wineserver -p
  else
    all_have linux/glimmora || continue
    export XDG_CONFIG_HOME="$work/config"
  fi
  set_platform "$p"
  setting 4 Interval 60000
  if [ -n "${FIRST_ONLY:-}" ]; then
    for folder in $FIRST_ONLY; do
      setting 7 ImageDirectory "$(folder_value "$folder")"
      for i in "${!builds[@]}"; do : >"$work/$p-$i"; done
      for _ in $(seq "${FIRST_RUNS:-5}"); do
        for i in "${!builds[@]}"; do first_run "${builds[i]}" >>"$work/$p-$i"; done
      done
      for i in "${!builds[@]}"; do
        firsts=$(awk '$1 == "first" {print $2}' "$work/$p-$i")
        # shellcheck disable=SC2086
        printf '%-7s %-6s first picture of %s: %s (%s)\n' "$p" "${names[i]}" "${folder##*/}" "$(stats $firsts)" \
          "$(echo $firsts)" | tee -a "$work/summary"
      done
    done
    continue
  fi
  # Escape: the builds in turn, run after run.
  setting 7 ImageDirectory "$(folder_value "$pictures/huge-$p")"
  for i in "${!builds[@]}"; do calibrate "${builds[i]}" >"$work/$p-$i"; done
  for _ in $(seq "$escape_runs"); do
    for i in "${!builds[@]}"; do escape_run "${builds[i]}" >>"$work/$p-$i"; done
  done
  setting 7 ImageDirectory "$(folder_value "$pictures/steps")"
  for _ in $(seq "${FIRST_RUNS:-5}"); do
    for i in "${!builds[@]}"; do first_run "${builds[i]}" >>"$work/$p-$i"; done
  done
  for i in "${!builds[@]}"; do step_session "${builds[i]}" >>"$work/$p-$i"; done
  for _ in 1 2 3; do
    for i in "${!builds[@]}"; do burst_session "${builds[i]}" >>"$work/$p-$i"; done
  done
  for i in "${!builds[@]}"; do report "${names[i]}" "$work/$p-$i"; done
  echo "load: $(uptime)"
done
echo
cat "$work/summary"
