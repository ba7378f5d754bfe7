#!/usr/bin/env bash
# The refusal message, a saver window over the screen that a key ends, /P
# without a valid host, and the options dialog.
# Usage: startup.sh glimmora|glimmora.scr source-dir build-dir
source "$2/tests/e2e/lib.sh"
start_xvfb

note "unknown switch: message box titled with the program title, then a normal end"
launch /A
id=$(wait_for_window "^$title\$" 30) || fail "no refusal message box"
xdotool windowfocus --sync "$id" key Return
wait_exit $pid 15 || fail "the refusal did not end the program"
[ "$EXIT_CODE" = 0 ] || fail "refusal exit code $EXIT_CODE"

note "/S: one window over the whole screen; a key ends the saver"
start_saver
read -r x y w h <<<"$(window_geometry "$(head -n 1 <<<"$ids")")"
[ "$x $y $w $h" = "0 0 1280 1024" ] || fail "saver window at $x $y $w $h"
end_saver

note "/P with a handle that has no parent ends at once, without a window"
launch /P 12345
wait_exit $pid 15 || fail "/P without parent kept running"
xdotool search --onlyvisible --class "$SAVER_CLASS" >/dev/null 2>&1 && fail "/P opened a window"

note "no argument: the options dialog"
launch
wait_for_window "^$title\$" 30 >/dev/null || fail "no options dialog"
kill "$pid"
echo PASS
