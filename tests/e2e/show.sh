#!/usr/bin/env bash
# The slide show on two monitors (Xorg dummy: 800x600 at 0,0 and 640x480 at
# 800,0), over generated pictures of known colours: /S shows a picture on
# each monitor within a second, different ones, with the caption, and the
# next ones after the interval; an empty folder gives "No files found :(";
# /P draws into a host window at one tenth, with the credit (Wine shows
# nothing of a child of another process's window on the screen, so there
# only the run itself is checked: it draws without failing and ends with its
# host). Set E2E_SHOTS=dir to keep the screenshots.
# Usage: show.sh glimmora|glimmora.scr source-dir build-dir
source "$2/tests/e2e/lib.sh"
source "$2/tests/e2e/show_lib.sh"

start_xorg_two_monitors
xsetroot -solid '#808080'
# A running server, as on Windows: the timings then leave out Wine's own
# start-up.
win && wineserver -p
prepare_show "$src"
setting 7 ImageDirectory "$(folder_value "$pics")"
setting 4 Interval 1000
# The budget for the first pictures: a second, more for a build with the
# address sanitizer (E2E_FIRST_PICTURE_MS overrides it).
budget=1000
grep -q 'fsanitize=address' "$build/CMakeCache.txt" 2>/dev/null && budget=3000
budget=${E2E_FIRST_PICTURE_MS:-$budget}

note "/S: a picture on each monitor within a second, different ones, with their captions"
start=$(date +%s%N)
launch /S
# Wine's own start of a GUI process (its DLLs, GDI+, the X11 driver) takes
# seconds on a busy machine and is not the saver's: there the second counts
# from the moment both saver windows are on the screen.
if win; then
  wait_for_class "$SAVER_CLASS" 2 30 >/dev/null || fail "fewer than two saver windows"
  start=$(date +%s%N)
fi
check_first_pictures "$start" "$shots/${PLATFORM}_show_first.png" "$budget"
check_captions "$shots/${PLATFORM}_show_first.png"

note "/S: the next pictures after the interval (1000 ms)"
check_next_pictures "$shots/${PLATFORM}_show_next.png"
end_saver

note "/S on an empty folder: \"No files found :(\" on each monitor once the scan is done"
setting 7 ImageDirectory "$(folder_value "$E2E_TMP/empty")"
start_saver 2
sleep 1.5
screenshot "$shots/${PLATFORM}_show_empty.png"
check_no_files_message "$shots/${PLATFORM}_show_empty.png"
end_saver

note "/P into a host window: the picture at one tenth in the middle, the credit at the bottom (Linux); runs and ends with its host"
setting 7 ImageDirectory "$(folder_value "$pics")"
setting 4 UpscaleMode 0
if win; then
  run_host preview 100 100 || fail "preview with pictures"
else
  start_host 320x240+100+100 0
  launch /P "$HOST"
  # 800x600 pictures laid out at 80x60 in the middle of the 320x240 host at
  # 100,100: 220..300 across and 190..250 down on the screen.
  read -r ms c1 c2 < <("$FRAME_WATCH" "$(date +%s%N)" 10000 --ignore 808080 --ignore ffffff 225 195 295 245)
  [[ "$ms" =~ ^[0-9]+$ ]] || fail "no picture in the preview ($c1 $c2)"
  screenshot "$shots/linux_show_preview.png"
  check_preview "$shots/linux_show_preview.png" 100 100 320 240
  close_host
fi
echo PASS
