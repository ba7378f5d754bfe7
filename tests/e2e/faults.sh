#!/usr/bin/env bash
# Readers that fail, with the fault tests' build of the program (its readers
# crash, stall or allocate without end on files named crash-reader,
# stall-reader, balloon-reader; each is a real picture otherwise) on two
# monitors (Xorg dummy), pictures in folder order, a second between slides.
# Four pictures of known colours and the faulty files, which never show:
# each costs its reader and shows as a black frame with its caption, and
# the four keep coming. A stall takes its share offline, so the stalling
# file has a share of its own (Linux: /dev/shm; Wine: drive Y:), as has the
# balloon under Wine, where the job's memory limit does not hold and a
# balloon ends as a stall. The saver keeps running, and Escape removes every
# saver window and ends the process within 100 ms (both times reported; the
# readers it had are gone too).
# Usage: faults.sh glimmora|glimmora.scr source-dir build-dir
source "$2/tests/e2e/lib.sh"
use_fault_build
budget_ms=${E2E_ESCAPE_MS:-100}

start_xorg_two_monitors
xsetroot -solid '#808080'
KEYS="$E2E_TMP/key_latency"
cc -O1 -o "$KEYS" "$src/bench/key_latency.c" -lXtst -lX11 || fail "cannot build key_latency"
# picture FILE N: an 800x600 picture of colour N.
picture() { convert -size 800x600 "xc:#${SHOW_COLOURS[$2 - 1]}" "$1" || fail "cannot write $1"; }
local_pictures="$E2E_TMP/pictures"
mkdir -p "$local_pictures"
for n in 1 2 3 4; do picture "$local_pictures/pic$n.png" "$n"; done
picture "$local_pictures/crash-reader.png" 5
if win; then
  # Drives of their own: Y: for the stall, X: for the balloon.
  mkdir -p "$E2E_TMP/drive-y/stall" "$E2E_TMP/drive-x/balloon"
  ln -s "$E2E_TMP/drive-y" "$WINEPREFIX/dosdevices/y:"
  ln -s "$E2E_TMP/drive-x" "$WINEPREFIX/dosdevices/x:"
  picture "$E2E_TMP/drive-y/stall/stall-reader.png" 6
  picture "$E2E_TMP/drive-x/balloon/balloon-reader.png" 6
  folders="$(folder_value "$local_pictures")"$'\r\n''Y:\stall\'$'\r\n''X:\balloon\'
  wineserver -p
else
  # A sanitizer build sets readers no memory limit: there a balloon runs to
  # its patience, a stall, which would take the local folder offline.
  grep -q '^GLIMMORA_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null ||
    picture "$local_pictures/balloon-reader.png" 6
  share=$(mktemp -d /dev/shm/glimmora-e2e.XXXXXX)
  trap 'rm -rf "$share"; e2e_cleanup' EXIT
  [ "$(stat -c %m "$share")" != "$(stat -c %m "$local_pictures")" ] || fail "/dev/shm is no mount of its own"
  picture "$share/stall-reader.png" 6
  folders="$(folder_value "$local_pictures")"$'\r\n'"$(folder_value "$share")"
fi
setting 7 ImageDirectory "$folders"
for value in Random:0 Interval:1000 Recursive:0; do setting 4 "${value%%:*}" "${value#*:}"; done

note "the show goes on past readers that crash, stall and balloon"
start_saver 2
# What each monitor showed, sample after sample: a picture's number, "black"
# (with the caption at the bottom: "caption"), or "?".
declare -A seen=()
geometry=("800x40+0+560" "640x40+800+440")
deadline=$(($(date +%s) + ${E2E_FAULT_SECONDS:-20}))
while [ "$(date +%s)" -lt "$deadline" ]; do
  read -ra shown <<<"$(monitor_pictures "$E2E_TMP/shot.png")"
  for m in 0 1; do
    what=${shown[m]}
    if [ "$what" = black ] && [ "$(convert "$E2E_TMP/shot.png" -crop "${geometry[m]}" +repage -fuzz 8% -fill black \
      +opaque white -format '%[fx:maxima.r>0.5]' info:)" = 1 ]; then
      what=caption
      [ -n "${seen[caption]:-}" ] || cp "$E2E_TMP/shot.png" "${E2E_SHOTS:-$E2E_TMP}/${PLATFORM}_faults_caption.png"
    fi
    seen[$what]=$((${seen[$what]:-0} + 1))
  done
  kill -0 "$pid" 2>/dev/null || fail "the saver ended during the show"
done
note "seen (samples): $(for k in "${!seen[@]}"; do printf '%s=%s ' "$k" "${seen[$k]}"; done)"
for n in 1 2 3 4; do [ -n "${seen[$n]:-}" ] || fail "picture $n never showed"; done
[ -z "${seen[5]:-}${seen[6]:-}" ] || fail "a faulty file showed as a picture: its reader did not fail"
[ -n "${seen[caption]:-}" ] || fail "no black frame with a caption in place of a faulty file"

readers=$(reader_pids "$pid" | tr '\n' ' ')
[ -n "$readers" ] || fail "no reader processes"
read -r windows_ms exit_ms <<<"$("$KEYS" gone "$pid" Escape 10000 "$SAVER_CLASS")"
note "Escape: windows gone after $windows_ms ms, process ended after $exit_ms ms (readers then: $readers)"
wait_exit "$pid" 5 || fail "the saver did not end"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
for ms in "$windows_ms" "$exit_ms"; do
  [[ "$ms" =~ ^[0-9.]+$ ]] && [ "${ms%.*}" -lt "$budget_ms" ] || fail "Escape took $ms ms (budget $budget_ms ms)"
done
sleep 1
for r in $readers; do [[ "$(ps -o stat= -p "$r")" =~ ^[^Z] ]] && fail "reader $r outlived the saver"; done
echo PASS
