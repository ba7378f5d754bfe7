#!/usr/bin/env bash
# The Windows build under Wine: the refusal message, a saver window over the
# screen that a key ends, /P without a valid host, and the options dialog.
# Usage: win_startup.sh glimmora.scr source-dir build-dir
program=$1
source "$2/tests/e2e/lib.sh"
start_xvfb
use_private_wine_prefix
title="Glimmora - slide show by Glimmora Labs"

note "unknown switch: message box titled with the program title, then a normal end"
wine "$program" /A &
pid=$!
id=$(wait_for_window "^$title\$" 30) || fail "no refusal message box"
xdotool windowfocus --sync "$id" key Return
wait_exit $pid 15 || fail "the refusal did not end the program"
[ "$EXIT_CODE" = 0 ] || fail "refusal exit code $EXIT_CODE"

note "/S: one window over the whole screen; a key ends the saver"
wine "$program" /S &
pid=$!
ids=$(wait_for_class "glimmora.scr" 1 30) || fail "no saver window"
id=$(printf '%s\n' $ids | head -n 1)
read -r x y w h <<<"$(window_geometry "$id")"
[ "$x $y $w $h" = "0 0 1280 1024" ] || fail "saver window at $x $y $w $h"
xdotool mousemove 5 5 key Escape
wait_exit $pid 15 || fail "the saver did not end on a key"
[ "$EXIT_CODE" = 0 ] || fail "saver exit code $EXIT_CODE"

note "/P with a handle that has no parent ends at once, without a window"
wine "$program" /P 12345 &
pid=$!
wait_exit $pid 15 || fail "/P without parent kept running"
xdotool search --onlyvisible --class "glimmora.scr" >/dev/null 2>&1 && fail "/P opened a window"

note "no argument: the options dialog"
wine "$program" &
pid=$!
wait_for_window "^$title\$" 30 >/dev/null || fail "no options dialog"
kill "$pid"
echo PASS
