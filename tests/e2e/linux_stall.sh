#!/usr/bin/env bash
# A dead network share (Linux): an LD_PRELOAD shim (stall_shim.c) makes calls
# on paths marked "stalled-share" block for a minute, as on a share whose
# server is gone. In turn the folder's opening, the reading of its entries, a
# header read of the walk (size filter on) and a picture's decode stall;
# each time the picture of a healthy folder listed before it shows
# meanwhile, and Escape, pressed while the call is blocked, ends the saver
# within a second with code 0 (the time is reported). Set E2E_SHOTS=dir to
# keep the screenshots.
# Usage: linux_stall.sh glimmora source-dir build-dir
source "$2/tests/e2e/lib.sh"

SHIM="$E2E_TMP/stall_shim.so"
cc -shared -fPIC -O1 -o "$SHIM" "$src/tests/e2e/stall_shim.c" -ldl -lpthread || fail "cannot build the shim"
stall_seconds=60
budget_ms=1000

start_xvfb 800x600x24
xsetroot -solid '#808080'
shots=${E2E_SHOTS:-$E2E_TMP}

# One healthy picture (picture 1's colour); the marked folder and marked
# files (pictures 2 and 3) are never read in full while the saver runs.
healthy="$E2E_TMP/healthy" share="$E2E_TMP/stalled-share" files="$E2E_TMP/files"
mkdir -p "$healthy" "$share" "$files"
picture() { convert -size 800x600 "xc:#$2" "$1" || fail "cannot write $1"; }
picture "$healthy/first.png" "${SHOW_COLOURS[0]}"
picture "$share/second.png" "${SHOW_COLOURS[1]}"
picture "$files/third-stalled-share.png" "${SHOW_COLOURS[2]}"

for value in Random:0 UpscaleMode:2 ShowFilename:0 Interval:1000 Recursive:0; do
  setting 4 "${value%%:*}" "${value#*:}"
done

ms_since() { echo $((($(date +%s%N) - $1) / 1000000)); }
# True while the process runs (an ended one its parent has yet to collect does not).
running() { [ -e "/proc/$1" ] && ! grep -q '^[^ ]* ([^)]*) Z' "/proc/$1/stat" 2>/dev/null; }

# round NAME CALLS SECOND-FOLDER SIZE-FILTER: the saver over the healthy
# folder and the second one, with CALLS of the shim blocking on marked paths.
round() {
  local name=$1 calls=$2 second=$3 size_filter=$4 log="$E2E_TMP/stall-$1.log" shot="$shots/stall_$1.png"
  note "$name stalls"
  setting 7 ImageDirectory "$(folder_value "$healthy")"$'\r\n'"$(folder_value "$second")"
  setting 4 CheckImageSize "$size_filter"
  rm -f "$log"
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" LD_PRELOAD="$SHIM" \
    GLIMMORA_STALL_MARK=stalled-share GLIMMORA_STALL_CALLS="$calls" GLIMMORA_STALL_SECONDS=$stall_seconds \
    GLIMMORA_STALL_LOG="$log" "$program" /S &
  pid=$!
  E2E_PIDS+=("$pid")
  wait_for_class "$SAVER_CLASS" 1 30 >/dev/null || fail "$name: no saver window"
  local began=
  for _ in $(seq 200); do
    [ -s "$log" ] && { began=$(date +%s%N); break; }
    sleep 0.05
  done
  [ -n "$began" ] || fail "$name: no call stalled"
  note "blocked: $(head -n 1 "$log")"
  local shown=
  for _ in $(seq 40); do
    screenshot "$shot"
    shown=$(picture_of "$(pixel "$shot" 400 300)")
    [ "$shown" = 1 ] && break
    sleep 0.25
  done
  [ "$shown" = 1 ] || fail "$name: the healthy folder's picture did not show (the screen shows $shown)"
  running "$pid" || fail "$name: the saver ended by itself"
  [ "$(ms_since "$began")" -lt $((stall_seconds * 1000 / 2)) ] || fail "$name: the stall is nearly over"
  local start ms
  start=$(date +%s%N)
  xdotool key Escape
  while running "$pid" && [ "$(ms_since "$start")" -lt 10000 ]; do sleep 0.01; done
  ms=$(ms_since "$start")
  running "$pid" && fail "$name: the saver still runs 10 s after Escape"
  wait "$pid"
  local code=$?
  note "$name: ended $ms ms after Escape, code $code"
  [ "$code" = 0 ] || fail "$name: exit code $code"
  [ "$ms" -le "$budget_ms" ] || fail "$name: ending took $ms ms (more than $budget_ms ms)"
}

round folder-open opendir "$share" 0
round folder-listing readdir "$share" 0
round header-read open "$files" 1
round decode open "$files" 0
echo PASS
