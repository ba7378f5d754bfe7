#!/usr/bin/env bash
# A dead network share (Linux): a FUSE file system (dead_share.py) whose top
# folder lists five pictures and a subfolder, but whose subfolder listing and
# file opens never return, is the first include folder; a local folder of
# four pictures of known colours the second; folder order, 1.5 s between
# slides, two monitors (Xorg dummy). The local pictures show on both
# monitors by the fourth slide (they come third and fourth; the time to the
# first on each is reported), and Escape removes every saver window and
# ends the process within 100 ms while readers are stuck on the share. The
# share is unmounted lazily and its process killed (it ignores SIGTERM while
# a request hangs) however the test ends; the stuck readers then end.
# Usage: linux_dead_share.sh glimmora source-dir build-dir
source "$2/tests/e2e/lib.sh"
budget_ms=${E2E_ESCAPE_MS:-100}
first_ms=${E2E_DEAD_SHARE_FIRST_MS:-7000}

mount="$E2E_TMP/share"
mkdir -p "$mount"
/usr/bin/python3 "$src/tests/e2e/dead_share.py" "$mount" 2>"$E2E_TMP/fuse.log" &
fuse_pid=$!
disown
unmount() {
  fusermount3 -u -z "$mount" 2>/dev/null
  kill -9 "$fuse_pid" 2>/dev/null
}
trap 'unmount; e2e_cleanup' EXIT
# Should this script itself be killed, a process of its own session still
# takes the share away.
setsid -f bash -c "while kill -0 $$ 2>/dev/null; do sleep 1; done; fusermount3 -u -z '$mount'; kill -9 $fuse_pid" \
  >/dev/null 2>&1 </dev/null
for _ in $(seq 100); do
  findmnt -n "$mount" >/dev/null && break
  sleep 0.1
done
findmnt -n "$mount" >/dev/null || fail "the dead share did not mount: $(cat "$E2E_TMP/fuse.log")"
[ "$(ls "$mount" | wc -l)" = 6 ] || fail "the dead share's top folder does not list"

start_xorg_two_monitors
xsetroot -solid '#808080'
KEYS="$E2E_TMP/key_latency" WATCH="$E2E_TMP/frame_watch"
cc -O1 -o "$KEYS" "$src/bench/key_latency.c" -lXtst -lX11 || fail "cannot build key_latency"
cc -O1 -o "$WATCH" "$src/tests/e2e/frame_watch.c" -lX11 || fail "cannot build frame_watch"
mkdir -p "$E2E_TMP/local"
for n in 1 2 3 4; do
  convert -size 800x600 "xc:#${SHOW_COLOURS[n - 1]}" "$E2E_TMP/local/pic$n.png" || fail "cannot write pic$n.png"
done
setting 7 ImageDirectory "$(folder_value "$mount")"$'\r\n'"$(folder_value "$E2E_TMP/local")"
for value in Interval:1500 Random:0; do setting 4 "${value%%:*}" "${value#*:}"; done

note "the local pictures show on both monitors while the first include folder is a dead share"
start=$(date +%s%N)
launch /S
# One watch a monitor: the time to the first picture there (the dead
# share's pictures are black frames with their caption).
watches=()
for m in 0 1; do
  # shellcheck disable=SC2086
  "$WATCH" "$start" 30000 --ignore 808080 ${SHOW_POINTS[m]} >"$E2E_TMP/first$m" &
  watches+=($!)
done
wait_for_class "$SAVER_CLASS" 2 30 >/dev/null || fail "fewer than two saver windows"
wait "${watches[@]}"
for m in 0 1; do
  read -r ms colour <"$E2E_TMP/first$m"
  note "monitor $((m + 1)): picture $(picture_of "$colour") after $ms ms"
  [[ "$ms" =~ ^[0-9]+$ && "$(picture_of "$colour")" =~ ^[1-4]$ ]] || fail "monitor $((m + 1)) shows no local picture ($ms $colour)"
  [ "$ms" -le "$first_ms" ] || fail "monitor $((m + 1)): the first local picture took $ms ms (budget $first_ms ms)"
done

readers=$(reader_pids "$pid" | tr '\n' ' ')
stuck=$(for r in $readers; do [ "$(ps -o stat= -p "$r")" = D ] && echo "$r"; done | tr '\n' ' ')
read -r windows_ms exit_ms <<<"$("$KEYS" gone "$pid" Escape 10000 "$SAVER_CLASS")"
note "Escape: windows gone after $windows_ms ms, process ended after $exit_ms ms (readers $readers, stuck on the share: ${stuck:-none})"
for ms in "$windows_ms" "$exit_ms"; do
  [[ "$ms" =~ ^[0-9.]+$ ]] && [ "${ms%.*}" -lt "$budget_ms" ] || fail "Escape took $ms ms (budget $budget_ms ms)"
done
wait_exit "$pid" 5 || fail "the saver did not end"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
unmount
for _ in $(seq 50); do
  left=$(for r in $readers; do [[ "$(ps -o stat= -p "$r")" =~ ^[^Z] ]] && echo "$r"; done)
  [ -z "$left" ] && break
  sleep 0.1
done
[ -z "$left" ] || fail "readers $left outlived the saver and the share"
echo PASS
