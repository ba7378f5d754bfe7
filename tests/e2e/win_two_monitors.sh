#!/usr/bin/env bash
# The Windows build under Wine on a two-monitor X server (Xorg dummy: 800x600
# at 0,0 and 640x480 at 800,0): monitor discovery through user32, one saver
# window per monitor, the options dialog beside its owner, and /P embedding
# into a host window of another process. Set E2E_SHOTS=dir to keep the
# screenshots.
# Usage: win_two_monitors.sh glimmora.scr source-dir build-dir
program=$1
src=$2
build=$3
source "$src/tests/e2e/lib.sh"
start_xorg_two_monitors
xsetroot -solid '#808080'
use_private_wine_prefix

shots=${E2E_SHOTS:-$E2E_TMP}

note "the display port against this server"
GLIMMORA_EXPECT_MONITORS="0,0,800,600;800,0,1440,480" timeout 120 wine "$build/tests/glimmora_tests_win.exe" \
  --gtest_filter='Win32Display.*' --gtest_brief=1 >"$E2E_TMP/unit.log" 2>&1 ||
  { cat "$E2E_TMP/unit.log" >&2; fail "platform tests on two monitors"; }
grep -q SKIPPED "$E2E_TMP/unit.log" && { cat "$E2E_TMP/unit.log" >&2; fail "platform tests were skipped"; }
grep -q 'PASSED  \] [1-9]' "$E2E_TMP/unit.log" || { cat "$E2E_TMP/unit.log" >&2; fail "no platform test ran"; }

note "/S: one window exactly over each monitor; a key ends the saver with code 0"
wine "$program" /S &
pid=$!
ids=$(wait_for_class "glimmora.scr" 2 30) || fail "fewer than two saver windows"
sleep 0.5
geometries=$(for id in $ids; do window_geometry "$id"; done | sort)
expected=$(printf '0 0 800 600\n800 0 640 480')
[ "$geometries" = "$expected" ] || fail "saver windows at: $geometries"
screenshot "$shots/win_two_monitors.png"
for corner in "0 0" "799 599" "800 0" "1439 479"; do
  [ "$(pixel "$shots/win_two_monitors.png" $corner)" = "0,0,0" ] || fail "not black at $corner"
done
[ "$(pixel "$shots/win_two_monitors.png" 1000 520)" = "128,128,128" ] || fail "a saver window reaches below monitor 2"
xdotool mousemove 900 100 key x
wait_exit $pid 15 || fail "the saver did not end on a key"
[ "$EXIT_CODE" = 0 ] || fail "saver exit code $EXIT_CODE"

note "a host program for the switches that take a window"
x86_64-w64-mingw32-gcc -O1 -o "$E2E_TMP/win_host.exe" "$src/tests/e2e/win_host.c" -luser32 ||
  fail "cannot build the host program"
scr=$(winepath -w "$program")
run_host() {
  timeout 60 wine "$E2E_TMP/win_host.exe" "$@" "$scr" >"$E2E_TMP/host.log" 2>&1
  local status=$?
  tr -d '\r' <"$E2E_TMP/host.log" | grep -v '^[0-9a-f]*:' >&2
  return $status
}
note "/C with an owner on monitor 2: the dialog 32 pixels right of and below it, the owner disabled"
run_host owner 900 60 || fail "options dialog with an owner on monitor 2"
note "/C with an owner across both monitors: the dialog centred on monitor 1"
run_host centre 700 60 || fail "options dialog with an owner across monitors"
note "/P into a host window of another process: a child filling it, ended when the host closes"
run_host preview 100 100 || fail "preview embedding"
echo PASS
