#!/usr/bin/env bash
# The Linux build on a two-monitor X server (Xorg dummy: 800x600 at 0,0 and
# 640x480 at 800,0): monitor discovery, one saver window per monitor, the
# options dialog beside its owner, and /P drawing into another program's
# window. Set E2E_SHOTS=dir to keep the screenshots.
# Usage: linux_two_monitors.sh glimmora source-dir build-dir
program=$1
build=$3
source "$2/tests/e2e/lib.sh"
start_xorg_two_monitors
# A grey desktop, so the screenshots show where the saver windows end.
xsetroot -solid '#808080'
export XDG_CONFIG_HOME="$E2E_TMP/config"
title="Glimmora - slide show by Glimmora Labs"
shots=${E2E_SHOTS:-$E2E_TMP}

note "the display port against this server"
GLIMMORA_EXPECT_MONITORS="0,0,800,600;800,0,1440,480" timeout 60 "$build/tests/glimmora_tests" \
  --gtest_filter='LinuxDisplay.*' --gtest_brief=1 >"$E2E_TMP/unit.log" 2>&1 ||
  { cat "$E2E_TMP/unit.log" >&2; fail "platform tests on two monitors"; }
grep -q SKIPPED "$E2E_TMP/unit.log" && { cat "$E2E_TMP/unit.log" >&2; fail "platform tests were skipped"; }
grep -q 'PASSED  \] [1-9]' "$E2E_TMP/unit.log" || { cat "$E2E_TMP/unit.log" >&2; fail "no platform test ran"; }

note "/S: one window exactly over each monitor; a key ends the saver with code 0"
"$program" /S &
pid=$!
ids=$(wait_for_class "glimmora" 2 30) || fail "fewer than two saver windows"
geometries=$(for id in $ids; do window_geometry "$id"; done | sort)
expected=$(printf '0 0 800 600\n800 0 640 480')
[ "$geometries" = "$expected" ] || fail "saver windows at: $geometries"
screenshot "$shots/linux_two_monitors.png"
for corner in "0 0" "799 599" "800 0" "1439 479"; do
  [ "$(pixel "$shots/linux_two_monitors.png" $corner)" = "0,0,0" ] || fail "not black at $corner"
done
# Below monitor 2 lies no monitor: the desktop shows there.
[ "$(pixel "$shots/linux_two_monitors.png" 1000 520)" = "128,128,128" ] || fail "a saver window reaches below monitor 2"
xdotool mousemove 900 100 key x
wait_exit $pid 15 || fail "the saver did not end on a key"
[ "$EXIT_CODE" = 0 ] || fail "saver exit code $EXIT_CODE"

# An owner window of another program, placed without a window manager.
start_owner() {
  xmessage -geometry "$1" ${2:+-bw "$2"} -name glimmora-owner "owner" 2>/dev/null &
  OWNER_PID=$!
  E2E_PIDS+=($OWNER_PID)
  OWNER=$(wait_for_window '^glimmora-owner$' 15) || fail "xmessage did not open"
}

note "/C with an owner on monitor 2: the dialog 32 pixels right of and below it"
start_owner 300x100+850+40
read -r ox oy _ <<<"$(window_geometry "$OWNER")"
"$program" /c:"$OWNER" &
pid=$!
id=$(wait_for_window "^$title\$" 30) || fail "no options dialog"
read -r x y _ <<<"$(window_geometry "$id")"
[ "$x $y" = "$((ox + 32)) $((oy + 32))" ] || fail "dialog at $x,$y for an owner at $ox,$oy"
kill "$pid" "$OWNER_PID"

note "/C with an owner across both monitors: the dialog centred on monitor 1"
start_owner 300x100+700+40
"$program" /C "$OWNER" &
pid=$!
id=$(wait_for_window "^$title\$" 30) || fail "no options dialog"
read -r x y w h <<<"$(window_geometry "$id")"
# Centred on 800x600 for the dialog's own size, halves rounded to even.
read -r ex ey <<<"$(python3 -c "print(round((800 - $w) / 2), round((600 - $h) / 2))")"
[ "$x $y" = "$ex $ey" ] || fail "dialog at $x,$y (${w}x$h), expected $ex,$ey"
kill "$pid" "$OWNER_PID"

note "/P into another program's window: a child filling it, ended when the host closes"
start_owner 200x150+100+100 0
"$program" /P "$OWNER" &
pid=$!
child=
for _ in $(seq 100); do
  child=$(xwininfo -children -id "$OWNER" | awk '/^ +0x/ && /"Glimmora"/ {print $1}' | head -n 1)
  [ -n "$child" ] && break
  sleep 0.1
done
[ -n "$child" ] || { xwininfo -tree -id "$OWNER" >&2; fail "no saver window inside the host"; }
read -r cx cy cw ch <<<"$(window_geometry "$child")"
read -r hx hy hw hh <<<"$(window_geometry "$OWNER")"
[ "$cx $cy $cw $ch" = "$hx $hy $hw $hh" ] || fail "preview child at $cx $cy $cw $ch, host $hx $hy $hw $hh"
screenshot "$shots/linux_preview.png"
[ "$(pixel "$shots/linux_preview.png" 101 101)" = "0,0,0" ] || fail "the preview does not draw into the host"
[ "$(pixel "$shots/linux_preview.png" 99 99)" = "128,128,128" ] || fail "the preview draws outside the host"
kill "$OWNER_PID"
wait_exit $pid 15 || fail "the preview outlived its host"
[ "$EXIT_CODE" = 0 ] || fail "preview exit code $EXIT_CODE"
echo PASS
