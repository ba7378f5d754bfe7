#!/usr/bin/env bash
# The slide show of the Windows build under Wine on two monitors (Xorg dummy:
# 800x600 at 0,0 and 640x480 at 800,0), over generated pictures of known
# colours: /S shows a picture on each monitor within a second, different
# ones, with the caption, and the next ones after the interval; an empty
# folder gives "No files found :("; /P runs the show inside a host window of
# another process (Wine shows nothing of such a child on the screen, so only
# the run itself is checked: it draws without failing and ends with its
# host). Set E2E_SHOTS=dir to keep the screenshots.
# Usage: win_show.sh glimmora.scr source-dir build-dir
program=$1
src=$2
build=$3
source "$src/tests/e2e/lib.sh"
source "$src/tests/e2e/show_lib.sh"
start_xorg_two_monitors
xsetroot -solid '#808080'
use_private_wine_prefix
# A running server, as on Windows: the timings then leave out Wine's own
# start-up.
wineserver -p
tool="$build/tests/glimmora_settings_tool.exe"
[ -f "$tool" ] || fail "no settings tool at $tool"
prepare_show "$src"

setting() {
  [ "$(wine "$tool" set HKCU 'Software\Glimmora' "$1" "$2" "$3" | tr -d '\r')" = ok ] || fail "cannot store $2"
}
setting 7 ImageDirectory "$(winepath -w "$pics")\\"
setting 4 Interval 1000

# Wine's own start of a GUI process (its DLLs, GDI+, the X11 driver) takes
# seconds on a busy machine and is not the saver's: the second is counted
# from the moment both saver windows are on the screen.
note "/S: a picture on each monitor within a second, different ones, with their captions"
wine "$program" /S &
pid=$!
wait_for_class "glimmora.scr" 2 30 >/dev/null || fail "fewer than two saver windows"
start=$(date +%s%N)
check_first_pictures "$start" "$shots/win_show_first.png" "$(first_picture_budget "$build")"
check_captions "$shots/win_show_first.png"

note "/S: the next pictures after the interval (1000 ms)"
check_next_pictures "$shots/win_show_next.png"
end_saver $pid

note "/S on an empty folder: \"No files found :(\" on each monitor once the scan is done"
setting 7 ImageDirectory "$(winepath -w "$E2E_TMP/empty")\\"
wine "$program" /S &
pid=$!
wait_for_class "glimmora.scr" 2 30 >/dev/null || fail "fewer than two saver windows"
sleep 1.5
screenshot "$shots/win_show_empty.png"
check_no_files_message "$shots/win_show_empty.png"
end_saver $pid

note "/P with pictures, inside a host window of another process: runs its ticks and ends with its host"
setting 7 ImageDirectory "$(winepath -w "$pics")\\"
setting 4 UpscaleMode 0
x86_64-w64-mingw32-gcc -O1 -o "$E2E_TMP/win_host.exe" "$src/tests/e2e/win_host.c" -luser32 ||
  fail "cannot build the host program"
timeout 60 wine "$E2E_TMP/win_host.exe" preview 100 100 "$(winepath -w "$program")" >"$E2E_TMP/host.log" 2>&1 ||
  { tr -d '\r' <"$E2E_TMP/host.log" >&2; fail "preview with pictures"; }
echo PASS
