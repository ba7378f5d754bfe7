#!/usr/bin/env bash
# Keys and the mouse in the saver, over a folder of generated pictures: Right
# shows new pictures, Left brings back the previous ones, F7 then F8 turns the
# status overlay on, Escape, one mouse movement or a click ends the saver with
# code 0 and the cursor is back, S (the monitor-power key) ends nothing; in /P
# (inside a host window of another process) no key, movement or click ends
# it, the host's closing does. Set E2E_SHOTS=dir to keep the screenshots.
# Usage: keys.sh glimmora|glimmora.scr source-dir build-dir
source "$2/tests/e2e/lib.sh"

# Six pictures, each one colour, none black, grey or the overlay's colours.
make_key_pictures() {
  local dir=$1 i=0 colour
  mkdir -p "$dir"
  for colour in '#c02020' '#2040c0' '#e0a000' '#a000a0' '#00a0a0' '#806040'; do
    convert -size 160x120 "xc:$colour" "$dir/picture$i.png" || fail "cannot make the pictures"
    i=$((i + 1))
  done
}

# Prints "hidden" or "visible": whether the X cursor now shown has any
# opaque pixel (XFixes sees the cursor whoever set it).
cursor_probe_build() {
  cc -x c -o "$E2E_TMP/cursor_probe" - -lXfixes -lX11 <<'C' || fail "cannot build the cursor probe"
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <stdio.h>
int main(void) {
  Display* d = XOpenDisplay(NULL);
  if (!d) return 2;
  XFixesCursorImage* c = XFixesGetCursorImage(d);
  if (!c) return 2;
  unsigned long n = (unsigned long)c->width * c->height, opaque = 0;
  for (unsigned long i = 0; i < n; ++i)
    if ((c->pixels[i] >> 24) & 0xff) ++opaque;
  puts(opaque ? "visible" : "hidden");
  return 0;
}
C
}
cursor_probe() { "$E2E_TMP/cursor_probe"; }

# Number of pixels that differ between two screenshots.
differing_pixels() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }

# Waits for a picture (neither black nor the grey desktop) in the middle of
# the screen and keeps that screenshot. Fails after 15 seconds.
wait_for_picture() {
  local shot=$1 colour
  for _ in $(seq 60); do
    screenshot "$shot"
    colour=$(pixel "$shot" 400 300)
    [ "$colour" != "0,0,0" ] && [ "$colour" != "128,128,128" ] && return 0
    sleep 0.25
  done
  return 1
}

# Waits until the screen differs from an earlier screenshot and keeps the new one.
wait_for_change() {
  local before=$1 shot=$2
  for _ in $(seq 40); do
    sleep 0.25
    screenshot "$shot"
    [ "$(differing_pixels "$before" "$shot")" != 0 ] && return 0
  done
  return 1
}

# The overlay takes the top of the screen when there is no caption: the frame
# differs from the same picture without it at the top, not at the bottom.
overlay_drawn() {
  local plain=$1 overlay=$2
  convert "$plain" -crop 800x260+0+0 +repage "$E2E_TMP/plain_top.png"
  convert "$overlay" -crop 800x260+0+0 +repage "$E2E_TMP/overlay_top.png"
  convert "$plain" -crop 800x300+0+300 +repage "$E2E_TMP/plain_bottom.png"
  convert "$overlay" -crop 800x300+0+300 +repage "$E2E_TMP/overlay_bottom.png"
  [ "$(differing_pixels "$E2E_TMP/plain_bottom.png" "$E2E_TMP/overlay_bottom.png")" = 0 ] || return 1
  [ "$(differing_pixels "$E2E_TMP/plain_top.png" "$E2E_TMP/overlay_top.png")" -gt 500 ]
}

# The saver of $pid ends by $1 with code 0, and the cursor is back.
ended_by() {
  wait_exit "$pid" 15 || fail "$1 did not end the saver"
  [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after $1"
  [ "$(cursor_probe)" = visible ] || fail "no cursor after the saver"
}

start_xvfb 800x600x24
xsetroot -solid '#808080'
shots=${E2E_SHOTS:-$E2E_TMP}
make_key_pictures "$E2E_TMP/pictures"
cursor_probe_build

# Sequential order, stretched over the screen, no caption, a minute between
# slides (so only keys change the pictures).
setting 7 ImageDirectory "$(folder_value "$E2E_TMP/pictures")"
for value in Random:0 UpscaleMode:2 ShowFilename:0 Interval:60000 Recursive:0; do
  setting 4 "${value%%:*}" "${value#*:}"
done

# Starts the saver with the pointer in the middle; it must keep running, with
# the cursor hidden.
start_saver_here() {
  xdotool mousemove 400 300
  start_saver
  sleep 1
  kill -0 "$pid" 2>/dev/null || fail "the saver ended before the mouse moved"
  [ "$(cursor_probe)" = hidden ] || fail "the cursor shows over the saver"
}

note "/S: a saver window with the cursor hidden; keys step through the pictures"
start_saver_here
wait_for_picture "$shots/keys_a.png" || fail "no picture appeared from the stored folder"
# Every Right shows a picture not seen yet; Left shows again exactly what the
# first Right showed.
note "Right shows the next picture, Right again another one"
xdotool key Right
wait_for_change "$shots/keys_a.png" "$shots/keys_b.png" || fail "Right did not change the picture"
xdotool key Right
wait_for_change "$shots/keys_b.png" "$shots/keys_c.png" || fail "the second Right did not change the picture"
[ "$(differing_pixels "$shots/keys_a.png" "$shots/keys_c.png")" != 0 ] || fail "the second Right came back to the first"
note "Left brings back the picture shown before"
xdotool key Left
wait_for_change "$shots/keys_c.png" "$shots/keys_d.png" || fail "Left did not change the picture"
[ "$(differing_pixels "$shots/keys_b.png" "$shots/keys_d.png")" = 0 ] || fail "Left did not bring back the previous picture"
note "F7 then F8: the status overlay from the next frame on, the saver still running"
xdotool key F7 key F8
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "F7 then F8 ended the saver"
xdotool key Left  # back to the first picture, now with the overlay
wait_for_change "$shots/keys_d.png" "$shots/keys_e.png" || fail "Left did not redraw"
overlay_drawn "$shots/keys_a.png" "$shots/keys_e.png" || fail "no status overlay over the first picture"
note "Escape ends the saver with code 0 and the cursor is back"
xdotool key Escape
ended_by Escape

note "/S: the first report of the pointer only records it; one movement ends the saver"
start_saver_here
xdotool mousemove_relative 3 2
ended_by "a mouse movement"

# Under Wine S sends the monitor-power broadcast; a server without DPMS
# switches nothing.
note "/S: S ends nothing; a click ends the saver"
start_saver_here
xdotool key s sleep 0.3 key s sleep 1.2 key s
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "S ended the saver"
xdotool click 1
ended_by "a click"

note "/P: keys, movements and clicks in the preview end nothing; closing the host does"
if win; then
  run_host input 100 100 || fail "preview input"
else
  start_host 200x150+100+100 0
  xdotool mousemove 600 500
  launch /P "$HOST"
  child=$(preview_child) || fail "no preview window inside the host"
  xdotool mousemove 150 150 sleep 0.2 mousemove 170 190 click 1
  xdotool windowfocus "$child" 2>/dev/null
  xdotool key Escape key a key Right key Left key s key F8 key F7 key F7 key space
  sleep 1
  kill -0 "$pid" 2>/dev/null || fail "input in the preview ended it"
  close_host
fi
echo PASS
