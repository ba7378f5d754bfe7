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

# The colours at the given points of an image, "r,g,b" a line.
pixels() {
  local file=$1 format=
  shift
  while [ $# -ge 2 ]; do
    format+="%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]\n"
    shift 2
  done
  convert "$file" -format "$format" info: 2>/dev/null
}

# "width height" of the white text inside a rectangle of a screenshot
# ("0 0" when there is none): the caption's fill is white.
white_box() {
  local box
  box=$(convert "$1" -crop "$2" +repage -fuzz 8% -fill black +opaque white -format '%@' info: 2>/dev/null)
  box=${box%%+*}
  echo "${box%x*} ${box#*x}"
}

# Number of black pixels inside a rectangle: the caption's outline.
black_count() {
  convert "$1" -crop "$2" +repage -fuzz 8% -fill white +opaque black -negate -format '%[fx:int(mean*w*h+0.5)]' \
    info: 2>/dev/null
}

# Waits for a picture on both monitors, counting from $1 (date +%s%N, taken
# just before the program started); they must be two different pictures and
# come within the budget $3 (ms). Keeps a screenshot in $2. Sets FIRST
# ("a b", the pictures shown) and FIRST_NS (when they were seen).
check_first_pictures() {
  local start=$1 shot=$2 budget=$3 out ms c1 c2
  # shellcheck disable=SC2086
  out=$("$FRAME_WATCH" "$start" 15000 --ignore 808080 ${SHOW_POINTS[0]} ${SHOW_POINTS[1]})
  read -r ms c1 c2 <<<"$out"
  [[ "$ms" =~ ^[0-9]+$ ]] || fail "no pictures on the monitors: $out"
  FIRST="$(picture_of "$c1") $(picture_of "$c2")"
  FIRST_NS=$((start + ms * 1000000))
  FIRST_COLOURS=("$c1" "$c2")
  note "pictures $FIRST after $ms ms"
  screenshot "$shot"
  two_pictures "$FIRST" || fail "the monitors show \"$FIRST\" ($c1 $c2), not two different pictures"
  [ "$ms" -le "$budget" ] || fail "the first pictures took $ms ms (more than $budget ms)"
}

hex_of() {
  local r g b
  IFS=, read -r r g b <<<"$1"
  printf '%02x%02x%02x' "$r" "$g" "$b"
}

# Waits for both monitors to change from the first pictures: two other
# pictures, one interval (1000 ms) after the first ones. Keeps a screenshot.
check_next_pictures() {
  local shot=$1 out ms c1 c2 next
  # shellcheck disable=SC2086
  out=$("$FRAME_WATCH" "$FIRST_NS" 10000 --ignore 808080 --ignore "$(hex_of "${FIRST_COLOURS[0]}")" \
    --ignore "$(hex_of "${FIRST_COLOURS[1]}")" ${SHOW_POINTS[0]} ${SHOW_POINTS[1]})
  read -r ms c1 c2 <<<"$out"
  [[ "$ms" =~ ^[0-9]+$ ]] || fail "the pictures did not change: $out"
  next="$(picture_of "$c1") $(picture_of "$c2")"
  note "pictures $next $ms ms later"
  screenshot "$shot"
  two_pictures "$next" || fail "after the interval the monitors show \"$next\" ($c1 $c2)"
  # Not before the interval; later only by what a busy machine adds.
  [ "$ms" -ge 800 ] && [ "$ms" -le 5000 ] || fail "the pictures changed after $ms ms, the interval is 1000 ms"
}

# Monitor n (1 or 2): "x y width height".
MONITORS=("0 0 800 600" "800 0 640 480")

# The caption on each monitor: white text with a black outline in the
# bottom 40 rows, one line high.
check_captions() {
  local shot=$1 m x y w h tw th
  for m in 0 1; do
    read -r x y w h <<<"${MONITORS[m]}"
    read -r tw th <<<"$(white_box "$shot" "${w}x40+$x+$((y + h - 40))")"
    [ "$tw" -ge 100 ] && [ "$th" -ge 10 ] && [ "$th" -le 30 ] ||
      fail "monitor $((m + 1)): no one-line caption at the bottom (white text ${tw}x$th)"
    [ "$(black_count "$shot" "${w}x40+$x+$((y + h - 40))")" -ge 100 ] ||
      fail "monitor $((m + 1)): the caption has no outline"
  done
}

# "No files found :(" on each monitor: a black screen, one short line of
# white text at the bottom.
check_no_files_message() {
  local shot=$1 m x y w h tw th
  for m in 0 1; do
    read -r x y w h <<<"${MONITORS[m]}"
    [ "$(pixels "$shot" $((x + w / 2)) $((y + h / 2)))" = "0,0,0" ] || fail "monitor $((m + 1)) is not black"
    read -r tw th <<<"$(white_box "$shot" "${w}x40+$x+$((y + h - 40))")"
    [ "$tw" -ge 100 ] && [ "$tw" -le 260 ] && [ "$th" -ge 10 ] && [ "$th" -le 30 ] ||
      fail "monitor $((m + 1)): no message line at the bottom (white text ${tw}x$th)"
  done
}

# The system preview in a host window at x y of size w h: a picture at one
# tenth of its size (800x600 -> 80x60) in the middle, black around it, and
# the two lines of the credit at the bottom.
check_preview() {
  local shot=$1 x=$2 y=$3 w=$4 h=$5 cx cy inside left above tw th
  cx=$((x + w / 2))
  cy=$((y + h / 2))
  { read -r inside; read -r left; read -r above; } < <(pixels "$shot" $((cx - 35)) $((cy - 25)) $((cx - 45)) "$cy" \
    "$cx" $((cy - 35)))
  [[ "$(picture_of "$inside")" =~ ^[1-6]$ ]] || fail "no picture in the middle of the preview ($inside)"
  [ "$left,$above" = "0,0,0,0,0,0" ] || fail "the preview picture is larger than a tenth ($left $above)"
  read -r tw th <<<"$(white_box "$shot" "${w}x60+$x+$((y + h - 60))")"
  [ "$tw" -ge 60 ] && [ "$th" -ge 30 ] && [ "$th" -le 55 ] ||
    fail "no two-line credit at the bottom of the preview (white text ${tw}x$th)"
}

start_xorg_two_monitors
xsetroot -solid '#808080'
# A running server, as on Windows: the timings then leave out Wine's own
# start-up.
win && wineserver -p
shots=${E2E_SHOTS:-$E2E_TMP}
FRAME_WATCH="$E2E_TMP/frame_watch"
cc -O1 -o "$FRAME_WATCH" "$src/tests/e2e/frame_watch.c" -lX11 || fail "cannot build frame_watch"
pics="$E2E_TMP/pictures"
make_pictures "$pics"
mkdir -p "$E2E_TMP/empty"
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
