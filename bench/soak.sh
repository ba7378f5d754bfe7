#!/usr/bin/env bash
# Soak: the saver (/S) over a folder of hostile pictures
# (bench/make_hostile_corpus.py), stepped by random keys, on one 3840x2160
# screen (Xvfb) and then on two 1920x1080 monitors (Xorg dummy; needs root,
# skipped otherwise), half the time each. Measures the memory of the saver
# and its reader processes together (the peak of the sum of their resident
# sets, sampled every 100 ms as readers come and go; under Wine the
# glimmora.scr process and the reader processes of the private prefix),
# beside the saver's own peak (VmHWM), the time from each key to every
# screen being drawn into again
# (bench/soak_keys.c: XTest keys, DAMAGE reports), and Escape to the
# process's end; watches for crashes (the process gone before Escape, a
# non-zero exit code, sanitizer or Wine exception reports on stderr).
#
# Usage: bench/soak.sh [seconds] [program]
#   seconds  in all, split between the two configurations (default 300)
#   program  build/linux/glimmora (default), build/linux-asan/glimmora or
#            build/windows/glimmora.scr (run under Wine in a private prefix);
#            its build folder must hold tests/glimmora_settings_tool
#   SOAK_CORPUS=dir  keep the corpus there between runs (made when missing)
#   SOAK_SHOTS=dir   keep three screenshots of each configuration there
#   SOAK_SEED=n      the keys' seed (default 1)
#   SOAK_RANDOM=0    the pictures in folder order (the same run each time)
#   SOAK_SETTINGS="Name:value ..."  more settings (numbers), after the
#                    soak's own: "Transition:1500 Motion:1 Interval:3000"
# Fails on a crash, Escape -> exit over 1 s, or (except under the address
# sanitizer, whose own bookkeeping takes hundreds of MB) a peak of the saver
# and its readers together of 300 MB or more.
set -u
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-300}
program=$(realpath "${2:-build/linux/glimmora}")
build=$(dirname "$program")
[ -f "$program" ] || { echo "no program at $program" >&2; exit 2; }
set -- "$program" "$root" "$build"
source "$root/tests/e2e/lib.sh"
export NO_AT_BRIDGE=1
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp}
limit_kb=$((300 * 1024))
sanitized=
grep -q '^GLIMMORA_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null && sanitized=1

corpus=${SOAK_CORPUS:-$E2E_TMP/corpus}
if [ ! -f "$corpus/valid/photo.jpg" ]; then
  note "writing the corpus into $corpus"
  python3 "$root/bench/make_hostile_corpus.py" "$corpus" || fail "cannot write the corpus"
fi
KEYS="$E2E_TMP/soak_keys"
cc -O2 -o "$KEYS" "$root/bench/soak_keys.c" -lXtst -lXdamage -lX11 || fail "cannot build soak_keys"

# Random order through every subfolder, each picture as large as fits, its
# path at the bottom (so even a frame with nothing to draw changes), and an
# interval long enough that only the keys step.
setting 7 ImageDirectory "$(folder_value "$corpus")"
for value in Interval:60000 "Random:${SOAK_RANDOM:-1}" Recursive:1 UpscaleMode:1 ShowFilename:2 ${SOAK_SETTINGS:-}; do
  setting 4 "${value%%:*}" "${value#*:}"
done

# The process to measure: under Wine the one running glimmora.scr (the
# launcher execs into it, so normally $pid itself).
measured_pid() {
  local p
  if ! win; then echo "$1"; return; fi
  for p in "$1" $(pgrep -P "$1"); do
    tr '\0' ' ' <"/proc/$p/cmdline" 2>/dev/null | grep -qi 'glimmora\.scr' && { echo "$p"; return; }
  done
  echo "$1"
}

# Whether the process still runs: a Wine process whose first thread has died
# (a stack overflow there) stays listed as a zombie while its other threads
# go on, and answers no key.
running() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
  [[ $state != Z* ]]
}

# Writes a line every 100 ms until killed: the resident kB of the saver $1,
# then of its readers together, then how many readers there are.
sample_memory() {
  local readers
  while :; do
    readers=$(reader_pids "$2")
    # shellcheck disable=SC2086
    echo "$(rss_kb "$1") $(rss_kb $readers) $(echo $readers | wc -w)"
    sleep 0.1
  done
}
rss_kb() {
  local p
  for p in "$@"; do cat "/proc/$p/status"; done 2>/dev/null | awk '/^VmRSS:/ {kb += $2} END {print kb + 0}'
}

failures=()
results=()
# Runs one configuration: $1 its name, $2 its seconds, then the screens as
# X,Y,W,H (root coordinates).
soak() {
  local name=$1 time=$2 log="$E2E_TMP/$1.stderr" keys_out="$E2E_TMP/$1.keys" shots=${SOAK_SHOTS:-}
  shift 2
  local screens=("$@") mpid hwm escape_ns gone_ns exit_ms crash="" summary i status shot_pids=() sampler peak
  read -r _ _ first_w first_h <<<"${screens[0]//,/ }"
  # doomed.jpg is listed by the walk and deleted before it is shown.
  cp "$corpus/valid/photo.jpg" "$corpus/special/doomed.jpg"
  xsetroot -solid '#808080'
  win && wineserver -p
  xdotool mousemove $((first_w / 2)) $((first_h / 2))
  "${RUN[@]}" "$program" /S 2>"$log" &
  pid=$!
  if ! wait_for_class "$SAVER_CLASS" "${#screens[@]}" 60 >/dev/null; then
    kill -0 "$pid" 2>/dev/null && note "the saver is still running" || note "the saver has ended"
    tail -20 "$log" >&2
    fail "$name: fewer than ${#screens[@]} saver windows"
  fi
  sleep 2
  rm -f "$corpus/special/doomed.jpg"
  mpid=$(measured_pid "$pid")
  sample_memory "$mpid" "$pid" >"$E2E_TMP/$name.memory" &
  sampler=$!
  if [ -n "$shots" ]; then
    mkdir -p "$shots"
    for i in 1 2 3; do
      (sleep $((time * i / 4)) && import -window root -resize 25% "$shots/${PLATFORM}_${name}_$i.png" 2>/dev/null) &
      shot_pids+=($!)
    done
  fi
  "$KEYS" "$time" "${SOAK_SEED:-1}" "${screens[@]}" >"$keys_out"
  summary=$(grep '^summary' "$keys_out")
  kill "$sampler"
  wait "$sampler" 2>/dev/null
  # "saver+readers saver readers most-readers", kB, at the peak of the sum
  peak=$(awk '$1 + $2 > top {top = $1 + $2; at = $0} $3 > most {most = $3} END {print top + 0, at, most + 0}' \
    "$E2E_TMP/$name.memory")
  if running "$mpid"; then
    hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$mpid/status" 2>/dev/null)
    escape_ns=$("$KEYS" --escape)
    gone_ns=
    for _ in $(seq 2000); do
      kill -0 "$pid" 2>/dev/null || { gone_ns=$(date +%s%N); break; }
      sleep 0.005
    done
    if [ -n "$gone_ns" ]; then
      exit_ms=$(((gone_ns - escape_ns) / 1000000))
      wait "$pid"
      status=$?
      [ "$status" = 0 ] || crash="exit code $status after Escape"
    else
      exit_ms=">10000"
      kill "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
    fi
  else
    if kill -0 "$pid" 2>/dev/null; then
      crash="the saver's first thread died"
      kill -9 "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
    else
      wait "$pid"
      crash="the saver ended before Escape (exit code $?)"
    fi
    hwm=
    exit_ms=-
  fi
  for i in "${shot_pids[@]}"; do wait "$i" 2>/dev/null; done
  if grep -qE 'ERROR: AddressSanitizer|ERROR: LeakSanitizer|runtime error:|Unhandled exception|Unhandled page fault' "$log"; then
    crash="${crash:+$crash; }a report on stderr (see below)"
    grep -E -A12 'ERROR: AddressSanitizer|ERROR: LeakSanitizer|runtime error:|Unhandled' "$log" | head -40 >&2
  fi
  read -r _ count answered median p90 longest over <<<"$summary"
  local mb=- sum_kb together
  [ -n "$hwm" ] && mb=$(awk -v k="$hwm" 'BEGIN {printf "%.1f", k / 1024}')
  read -r sum_kb _ <<<"$peak"
  together=$(awk -v p="$peak" 'BEGIN {split(p, v, " "); printf "%.1f (%.1f+%.1f, %d)", v[1] / 1024, v[2] / 1024, v[3] / 1024, v[5]}')
  results+=("$(printf '%-10s %-13s %5s %8s %6s %6s %6s %7s %6s %26s %10s %12s  %s' "$PLATFORM" "$name" "${time}s" \
    "${count:-0}" "${answered:-0}" "${median:--}" "${p90:--}" "${longest:--}" "${over:--}" "$together" "$mb" \
    "$exit_ms" "${crash:-none}")")
  [ -n "$crash" ] && failures+=("$name: $crash")
  [ "$exit_ms" = ">10000" ] || [ "$exit_ms" = - ] || [ "$exit_ms" -le 1000 ] || failures+=("$name: Escape -> exit $exit_ms ms")
  [ "$exit_ms" = ">10000" ] && failures+=("$name: the saver did not end on Escape")
  if [ "$sum_kb" -ge "$limit_kb" ]; then
    if [ -n "$sanitized" ]; then
      note "$name: peak $together MB (address sanitizer build: not held to 300 MB)"
    else
      failures+=("$name: peak resident set of the saver and its readers $together MB")
    fi
  fi
  if win; then
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
  fi
}

# Stops the X server started last (and forgets it, so the exit trap does not
# signal a number that may belong to someone else by then).
stop_server() {
  local last=$((${#E2E_PIDS[@]} - 1))
  kill "${E2E_PIDS[last]}" 2>/dev/null
  wait "${E2E_PIDS[last]}" 2>/dev/null
  unset "E2E_PIDS[last]"
  E2E_PIDS=("${E2E_PIDS[@]}")
}

half=$((seconds / 2))
note "one 3840x2160 screen, ${half}s"
start_xvfb 3840x2160x24
soak 4k "$half" 0,0,3840,2160
stop_server
if [ "$(id -u)" = 0 ] && [ -z "${SOAK_ONLY_4K:-}" ]; then
  note "two 1920x1080 monitors, $((seconds - half))s"
  start_xorg_two_monitors 1920x1080 1920x1080
  soak 2x1080p "$((seconds - half))" 0,0,1920,1080 1920,0,1920,1080
  stop_server
else
  note "two monitors skipped: the Xorg dummy server needs root"
fi

echo "Soak over $(find "$corpus" -mindepth 1 | wc -l) corpus entries, $(date -u +%Y-%m-%d), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "key -> every screen drawn again, ms; together = peak of the saver's and its readers' resident sets summed,"
echo "MB (saver + readers at that moment, most readers at once); saver = the saver's own VmHWM, MB"
printf '%-10s %-13s %5s %8s %6s %6s %6s %7s %6s %26s %10s %12s  %s\n' platform screens time keys answd median p90 \
  longest '>100' 'together MB' 'saver MB' 'Esc->exit ms' crashes
printf '%s\n' "${results[@]}"
if [ ${#failures[@]} -gt 0 ]; then
  printf 'FAIL: %s\n' "${failures[@]}" >&2
  exit 1
fi
echo PASS
