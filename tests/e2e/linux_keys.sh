#!/usr/bin/env bash
# Keys and the mouse in the Linux saver, over a folder of generated pictures:
# Right shows new pictures, Left brings back the previous ones, F7 then F8
# turns the status overlay on, Escape or one mouse movement ends the saver
# with code 0 and the cursor is back; in /P nothing but the host's closing
# ends it. Set E2E_SHOTS=dir to keep the screenshots.
# Usage: linux_keys.sh glimmora source-dir build-dir
program=$1
src=$2
build=$3
source "$src/tests/e2e/lib.sh"
source "$src/tests/e2e/keys_lib.sh"
start_xvfb 800x600x24
xsetroot -solid '#808080'
export XDG_CONFIG_HOME="$E2E_TMP/config"
shots=${E2E_SHOTS:-$E2E_TMP}

note "key codes by the key's place and the DPMS rules, against this server"
timeout 60 "$build/tests/glimmora_tests" --gtest_filter='GdkKeyEvents.*:LinuxDpms/*' --gtest_brief=1 \
  >"$E2E_TMP/unit.log" 2>&1 || { cat "$E2E_TMP/unit.log" >&2; fail "platform tests"; }
grep -q SKIPPED "$E2E_TMP/unit.log" && { cat "$E2E_TMP/unit.log" >&2; fail "platform tests were skipped"; }
grep -q 'PASSED  \] [1-9]' "$E2E_TMP/unit.log" || { cat "$E2E_TMP/unit.log" >&2; fail "no platform test ran"; }

make_pictures "$E2E_TMP/pictures"
cursor_probe_build

# Sequential order, stretched over the screen, no caption, a minute between
# slides (so only keys change the pictures); ANSI bytes of the folder.
mkdir -p "$XDG_CONFIG_HOME/glimmora"
{
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Glimmora]\r\n'
  printf '"ImageDirectory"=hex(7):%s\r\n' "$(printf '%s/\0\0' "$E2E_TMP/pictures" | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//;s/,$//')"
  printf '"Random"=dword:00000000\r\n"UpscaleMode"=dword:00000002\r\n"ShowFilename"=dword:00000000\r\n'
  printf '"Interval"=dword:0000ea60\r\n"Recursive"=dword:00000000\r\n'
} >"$XDG_CONFIG_HOME/glimmora/user.reg"

start_saver() {
  xdotool mousemove 400 300
  "$program" "$@" &
  pid=$!
}

note "/S: a saver window with the cursor hidden; keys step through the pictures"
start_saver /S
wait_for_class "glimmora" 1 30 >/dev/null || fail "no saver window"
sleep 0.5
[ "$(cursor_probe)" = hidden ] || fail "the cursor shows over the saver"
check_keys_and_overlay "$shots" || exit 1
check_escape_ends

note "/S: the first report of the pointer only records it; one movement ends the saver"
start_saver /S
wait_for_class "glimmora" 1 30 >/dev/null || fail "no saver window"
sleep 1
kill -0 "$pid" 2>/dev/null || fail "the saver ended before the mouse moved"
[ "$(cursor_probe)" = hidden ] || fail "the cursor shows over the saver"
xdotool mousemove_relative 3 2
wait_exit "$pid" 15 || fail "a mouse movement did not end the saver"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after a mouse movement"
[ "$(cursor_probe)" = visible ] || fail "no cursor after the saver"

note "/S: S with a server without DPMS switches nothing and ends nothing; a click ends the saver"
start_saver /S
wait_for_class "glimmora" 1 30 >/dev/null || fail "no saver window"
xdotool key s sleep 0.3 key s sleep 1.2 key s
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "S ended the saver"
xdotool click 1
wait_exit "$pid" 15 || fail "a click did not end the saver"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after a click"

note "/P: keys, movements and clicks in the preview end nothing; closing the host does"
xmessage -geometry 200x150+100+100 -bw 0 -name glimmora-host "host" 2>/dev/null &
host_pid=$!
E2E_PIDS+=($host_pid)
host=$(wait_for_window '^glimmora-host$' 15) || fail "xmessage did not open"
xdotool mousemove 600 500
"$program" /P "$host" &
pid=$!
child=
for _ in $(seq 100); do
  child=$(xwininfo -children -id "$host" | awk '/^ +0x/ && /"Glimmora"/ {print $1}' | head -n 1)
  [ -n "$child" ] && break
  sleep 0.1
done
[ -n "$child" ] || fail "no preview window inside the host"
xdotool mousemove 150 150 sleep 0.2 mousemove 170 190 click 1
xdotool windowfocus "$child" 2>/dev/null
xdotool key Escape key a key Right key Left key s key F8 key F7 key F7 key space
sleep 1
kill -0 "$pid" 2>/dev/null || fail "input in the preview ended it"
kill "$host_pid"
wait_exit "$pid" 15 || fail "the preview outlived its host"
[ "$EXIT_CODE" = 0 ] || fail "preview exit code $EXIT_CODE"
echo PASS
