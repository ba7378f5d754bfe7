#!/usr/bin/env bash
# Glimmora as an XScreenSaver hack (Linux) on the two-monitor X server (Xorg
# dummy: 800x600 at 0,0 and 640x480 at 800,0). The real daemon, run by an
# ordinary user of the test's own (it launches no hack as root) whose
# ~/.xscreensaver selects Glimmora: -activate starts one glimmora --root per
# monitor, showing a picture each, different ones, and the next ones after
# the interval; -deactivate leaves no Glimmora process within a second.
# Without the daemon: --window-id draws the full show into a small window, as
# xscreensaver-settings' preview does, and follows its size; keys and the
# mouse do not end it, SIGTERM and SIGINT end it at once with code 0; no
# window, a window that does not exist or goes away and a garbage
# $XSCREENSAVER_WINDOW end it with code 1 and a message on stderr.
# Needs root (the X server, the user). Set E2E_SHOTS=dir to keep the
# screenshots.
# Usage: linux_hack.sh glimmora source-dir build-dir
skip() { echo "SKIP: $*" >&2; exit 0; }
[ "$(id -u)" = 0 ] || skip "the X server and the daemon's user need root"
for tool in xscreensaver xscreensaver-command useradd userdel runuser; do
  command -v "$tool" >/dev/null || skip "no $tool here"
done
source "$2/tests/e2e/lib.sh"

user=glimmora-hack-$$
home="$E2E_TMP/home"
as_user() { runuser -u "$user" -- env -i DISPLAY="$DISPLAY" HOME="$home" PATH=/usr/bin:/bin "$@"; }
hack_cleanup() {
  local p
  if id "$user" >/dev/null 2>&1; then
    as_user xscreensaver-command -exit >/dev/null 2>&1
    for p in $(pgrep -u "$user"); do kill "$p" 2>/dev/null; done  # all started by this test
    sleep 0.2
    userdel -r -f "$user" >/dev/null 2>&1
  fi
  e2e_cleanup
}
trap hack_cleanup EXIT

# Glimmora processes of the user, not counting the ended ones their parent
# has yet to collect.
hacks() { ps -u "$user" -o stat=,comm= | awk '$1 !~ /^Z/ && $2 == "glimmora"' | wc -l; }
ms_since() { echo $((($(date +%s%N) - $1) / 1000000)); }

start_xorg_two_monitors
xsetroot -solid '#808080'
shots=${E2E_SHOTS:-$E2E_TMP}
chmod 755 "$E2E_TMP"
useradd -m -d "$home" -s /bin/sh "$user" || fail "cannot create the user $user"
install -D -m 755 "$program" "$home/bin/glimmora"
make_pictures "$home/pictures"
export XDG_CONFIG_HOME="$home/.config"
setting 7 ImageDirectory "$home/pictures/"
setting 4 Interval 1000
setting 4 Random 0
cat >"$home/.xscreensaver" <<EOF
mode: one
selected: 0
lock: False
fade: False
unfade: False
splash: False
dpmsEnabled: False
programs: "Glimmora" $home/bin/glimmora --root \\n
EOF
chown -R "$user" "$home"

note "the daemon as $user: -activate runs one Glimmora per monitor, different pictures, then the next ones"
as_user xscreensaver -no-splash -verbose >"$E2E_TMP/xscreensaver.log" 2>&1 &
for _ in $(seq 100); do as_user xscreensaver-command -time >/dev/null 2>&1 && break; sleep 0.1; done
as_user xscreensaver-command -activate >/dev/null 2>&1 || fail "xscreensaver-command -activate failed"
for _ in $(seq 150); do [ "$(hacks)" -ge 2 ] && break; sleep 0.1; done
[ "$(hacks)" = 2 ] || fail "the daemon runs $(hacks) Glimmora processes, not one per monitor: $(tail "$E2E_TMP/xscreensaver.log")"
for _ in $(seq 50); do
  first=$(monitor_pictures "$shots/linux_hack_daemon.png")
  two_pictures "$first" && break
  sleep 0.2
done
two_pictures "$first" || fail "the monitors show \"$first\", not two different pictures"
read -r a b <<<"$first"
for _ in $(seq 50); do
  sleep 0.2
  next=$(monitor_pictures "$shots/linux_hack_daemon_next.png")
  read -r c d <<<"$next"
  two_pictures "$next" && [ "$c" != "$a" ] && [ "$d" != "$b" ] && break
done
two_pictures "$next" && [ "$c" != "$a" ] && [ "$d" != "$b" ] || fail "the pictures did not move on from \"$first\": \"$next\""
note "pictures $first, then $next"

start=$(date +%s%N)
as_user xscreensaver-command -deactivate >/dev/null 2>&1 || fail "xscreensaver-command -deactivate failed"
while [ "$(hacks)" -gt 0 ] && [ "$(ms_since "$start")" -lt 5000 ]; do sleep 0.01; done
ms=$(ms_since "$start")
[ "$(hacks)" = 0 ] || fail "Glimmora still runs 5 s after -deactivate"
note "-deactivate: no Glimmora process left after $ms ms"
[ "$ms" -le 1000 ] || fail "the hacks took $ms ms to end"
as_user xscreensaver-command -exit >/dev/null 2>&1

note "--window-id: the full show in a small window, following its size, deaf to input"
start_host 240x180+100+100 0
"$program" --root --window-id "$HOST" 2>"$E2E_TMP/hack.err" &
pid=$!
child=$(preview_child) || fail "no Glimmora window inside the host"
[ "$(window_geometry "$child")" = "100 100 240 180" ] || fail "the hack's window is at $(window_geometry "$child")"
# A tenth-size picture would leave the host's corner black.
for _ in $(seq 50); do
  screenshot "$shots/linux_hack_window.png"
  [[ "$(picture_of "$(pixel "$shots/linux_hack_window.png" 110 110)")" =~ ^[1-6]$ ]] && break
  sleep 0.2
done
[[ "$(picture_of "$(pixel "$shots/linux_hack_window.png" 110 110)")" =~ ^[1-6]$ ]] || fail "no full-size picture in the window"
xdotool mousemove 200 180 click 1 key x
xdotool windowsize "$HOST" 320 240
for _ in $(seq 50); do
  sleep 0.2
  screenshot "$shots/linux_hack_resized.png"
  [ "$(window_geometry "$child")" = "100 100 320 240" ] &&
    [[ "$(picture_of "$(pixel "$shots/linux_hack_resized.png" 410 110)")" =~ ^[1-6]$ ]] && break
done
[ "$(window_geometry "$child")" = "100 100 320 240" ] || fail "the hack's window did not follow its host's size"
[[ "$(picture_of "$(pixel "$shots/linux_hack_resized.png" 410 110)")" =~ ^[1-6]$ ]] || fail "no picture over the grown window"
kill -0 "$pid" 2>/dev/null || fail "input ended the hack"

start=$(date +%s%N)
kill -TERM "$pid"
wait_exit "$pid" 5 || fail "the hack outlived SIGTERM"
ms=$(ms_since "$start")
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after SIGTERM: $(cat "$E2E_TMP/hack.err")"
note "SIGTERM: ended after $ms ms"
[ "$ms" -le 1000 ] || fail "the hack took $ms ms to end on SIGTERM"
"$program" --window-id "$HOST" &
pid=$!
sleep 1
kill -INT "$pid"
wait_exit "$pid" 5 || fail "the hack outlived SIGINT"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after SIGINT"

note "bad input: code 1 and a message, never a hang"
# Runs a hack that must fail; $1 is the message it must give.
refused() {
  local message=$1 code
  shift
  timeout 15 "$@" >/dev/null 2>"$E2E_TMP/hack.err"
  code=$?
  [ "$code" = 1 ] || fail "$*: exit code $code, not 1"
  grep -qF "$message" "$E2E_TMP/hack.err" || fail "$*: no \"$message\" but: $(cat "$E2E_TMP/hack.err")"
}
"$program" --root --window-id "$HOST" 2>"$E2E_TMP/gone.err" &
pid=$!
sleep 1
kill "$HOST_PID"
wait_exit "$pid" 5 || fail "the hack outlived its window"
[ "$EXIT_CODE" = 1 ] || fail "exit code $EXIT_CODE when the window went away, not 1"
gone=$(printf '0x%x' "$HOST")
grep -qF "glimmora: window $gone was destroyed" "$E2E_TMP/gone.err" || fail "no message when the window went away"
refused "glimmora: window $gone does not exist" "$program" --window-id "$gone"
refused "glimmora: --window-id needs a value" "$program" --root --window-id
refused 'glimmora: XSCREENSAVER_WINDOW is not a window id: "4x2"' env XSCREENSAVER_WINDOW=4x2 "$program" --root
exit 0
