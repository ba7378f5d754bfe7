# Helpers of the key and mouse end-to-end scripts (linux_keys.sh,
# win_keys.sh): generated pictures, a cursor probe, screenshots that wait for
# the saver to draw, and the picture checks both platforms share. Source it
# after lib.sh.

# Six pictures, each one colour, none black, grey or the overlay's colours.
make_pictures() {
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

# From the first picture (shots/keys_a.png): Right, Right, Left. Every Right
# shows a picture not seen yet; Left shows again exactly what the first Right
# showed.
step_through_pictures() {
  local dir=$1
  note "Right shows the next picture, Right again another one"
  xdotool key Right
  wait_for_change "$dir/keys_a.png" "$dir/keys_b.png" || fail "Right did not change the picture"
  xdotool key Right
  wait_for_change "$dir/keys_b.png" "$dir/keys_c.png" || fail "the second Right did not change the picture"
  [ "$(differing_pixels "$dir/keys_a.png" "$dir/keys_c.png")" != 0 ] || fail "the second Right came back to the first"
  note "Left brings back the picture shown before"
  xdotool key Left
  wait_for_change "$dir/keys_c.png" "$dir/keys_d.png" || fail "Left did not change the picture"
  [ "$(differing_pixels "$dir/keys_b.png" "$dir/keys_d.png")" = 0 ] || fail "Left did not bring back the previous picture"
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

# Checks that need stored settings, the catalogue and the renderer can only
# run once those are built: until then their sources are first cuts. Says
# which checks were skipped, or fails when everything is built and the
# pictures still did not show.
pending() {
  local what=$1 file missing=()
  for file in settings/settings_io.cpp catalogue/catalogue.cpp render/renderer.cpp; do
    grep -qi "first cut" "$src/$file" && missing+=("$file")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    note "SKIPPED: $what (still first cuts: ${missing[*]})"
    return 0
  fi
  fail "no picture appeared from the stored folder"
}

# With a picture on screen ($1 the screenshot folder): pictures step with the
# keys, F7 then F8 turns the status overlay on without ending the saver of
# $pid. Without one (pending), the keys must at least end nothing.
check_keys_and_overlay() {
  local shots=$1
  if wait_for_picture "$shots/keys_a.png"; then
    step_through_pictures "$shots" || return 1
    note "F7 then F8: the status overlay from the next frame on, the saver still running"
    xdotool key F7 key F8
    sleep 0.5
    kill -0 "$pid" 2>/dev/null || fail "F7 then F8 ended the saver"
    xdotool key Left  # back to the first picture, now with the overlay
    wait_for_change "$shots/keys_d.png" "$shots/keys_e.png" || fail "Left did not redraw"
    overlay_drawn "$shots/keys_a.png" "$shots/keys_e.png" || fail "no status overlay over the first picture"
  else
    pending "Right/Left pictures and the status overlay" || return 1
    xdotool key F7 key F8 key Right key Left
    sleep 0.5
    kill -0 "$pid" 2>/dev/null || fail "F7, F8, Right or Left ended the saver"
  fi
}

# Escape ends the saver of $pid with code 0 and gives the cursor back.
check_escape_ends() {
  note "Escape ends the saver with code 0 and the cursor is back"
  xdotool key Escape
  wait_exit "$pid" 15 || fail "Escape did not end the saver"
  [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after Escape"
  [ "$(cursor_probe)" = visible ] || fail "no cursor after the saver"
}
