#!/usr/bin/env bash
# The slide show of the Linux build on two monitors (Xorg dummy: 800x600 at
# 0,0 and 640x480 at 800,0), over generated pictures of known colours: /S
# shows a picture on each monitor within a second, different ones, with the
# caption, and the next ones after the interval; an empty folder gives "No
# files found :("; /P draws into a host window at one tenth, with the credit.
# Set E2E_SHOTS=dir to keep the screenshots.
# Usage: linux_show.sh glimmora source-dir build-dir
program=$1
src=$2
build=$3
source "$src/tests/e2e/lib.sh"
source "$src/tests/e2e/show_lib.sh"
start_xorg_two_monitors
xsetroot -solid '#808080'
export XDG_CONFIG_HOME="$E2E_TMP/config"
tool="$build/tests/glimmora_settings_tool"
[ -x "$tool" ] || fail "no settings tool at $tool"
prepare_show "$src"

setting() { [ "$("$tool" set HKCU 'Software\Glimmora' "$1" "$2" "$3")" = ok ] || fail "cannot store $2"; }
setting 7 ImageDirectory "$pics/"
setting 4 Interval 1000

note "/S: a picture on each monitor within a second, different ones, with their captions"
start=$(date +%s%N)
"$program" /S &
pid=$!
check_first_pictures "$start" "$shots/linux_show_first.png" "$(first_picture_budget "$build")"
check_captions "$shots/linux_show_first.png"

note "/S: the next pictures after the interval (1000 ms)"
check_next_pictures "$shots/linux_show_next.png"
end_saver $pid

note "/S on an empty folder: \"No files found :(\" on each monitor once the scan is done"
setting 7 ImageDirectory "$E2E_TMP/empty/"
"$program" /S &
pid=$!
sleep 1.5
screenshot "$shots/linux_show_empty.png"
check_no_files_message "$shots/linux_show_empty.png"
end_saver $pid

note "/P into a host window: the picture at one tenth in the middle, the credit at the bottom"
setting 7 ImageDirectory "$pics/"
setting 4 UpscaleMode 0
xmessage -geometry 320x240+100+100 -bw 0 -name glimmora-host "host" 2>/dev/null &
host_pid=$!
E2E_PIDS+=($host_pid)
host=$(wait_for_window '^glimmora-host$' 15) || fail "xmessage did not open"
"$program" /P "$host" &
pid=$!
# 800x600 pictures laid out at 80x60 in the middle of the 320x240 host at
# 100,100: 220..300 across and 190..250 down on the screen.
read -r ms c1 c2 < <("$FRAME_WATCH" "$(date +%s%N)" 10000 --ignore 808080 --ignore ffffff 225 195 295 245)
[[ "$ms" =~ ^[0-9]+$ ]] || fail "no picture in the preview ($c1 $c2)"
screenshot "$shots/linux_show_preview.png"
check_preview "$shots/linux_show_preview.png" 100 100 320 240
kill "$host_pid"
wait_exit $pid 15 || fail "the preview outlived its host"
[ "$EXIT_CODE" = 0 ] || fail "preview exit code $EXIT_CODE"
echo PASS
