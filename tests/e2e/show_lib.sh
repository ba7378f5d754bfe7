# The slide-show helpers shared by show.sh and win_installer.sh: pictures of
# known colours, what the monitors show, captions. Source after lib.sh.

# The colours of the generated pictures, picture n having colour n.
SHOW_COLOURS=(e02020 20c020 2040e0 e0c020 c020c0 20c0c0)
# A point inside each monitor, clear of the label in the picture's middle
# and of the caption at the bottom.
SHOW_POINTS=("200 150" "960 120")

# Writes the pictures pic1..pic6 (4:3, so scale mode 1 fills both monitors),
# each a solid colour with its number in the middle; PNG and JPEG, one in a
# subfolder and one with an upper-case extension.
make_pictures() {
  local dir=$1 n name
  mkdir -p "$dir/more"
  for n in 1 2 3 4 5 6; do
    case $n in
      1 | 4) name="$dir/pic$n.png" ;;
      5) name="$dir/more/pic$n.jpg" ;;
      6) name="$dir/pic$n.JPG" ;;
      *) name="$dir/pic$n.jpg" ;;
    esac
    convert -size 800x600 "xc:#${SHOW_COLOURS[n - 1]}" -gravity center -pointsize 200 -fill white \
      -annotate 0 "$n" -quality 92 "$name" || fail "cannot write $name"
  done
}

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

# Which picture an "r,g,b" colour belongs to: its number, "black", or "?".
picture_of() {
  local rgb=$1 n hex r g b
  IFS=, read -r r g b <<<"$rgb"
  [ "$r,$g,$b" = "0,0,0" ] && { echo black; return; }
  for n in 1 2 3 4 5 6; do
    hex=${SHOW_COLOURS[n - 1]}
    local dr=$((r - 16#${hex:0:2})) dg=$((g - 16#${hex:2:2})) db=$((b - 16#${hex:4:2}))
    if [ $((${dr#-} + ${dg#-} + ${db#-})) -le 45 ]; then echo "$n"; return; fi
  done
  echo "?"
}

# True when both monitors show a (known) picture and they differ.
two_pictures() {
  local a b
  read -r a b <<<"$1"
  [[ "$a" =~ ^[1-6]$ && "$b" =~ ^[1-6]$ && "$a" != "$b" ]]
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

# The screenshot folder, the frame watcher, the pictures and an empty folder:
# sets shots, FRAME_WATCH, pics.
prepare_show() {
  local src=$1
  shots=${E2E_SHOTS:-$E2E_TMP}
  FRAME_WATCH="$E2E_TMP/frame_watch"
  cc -O1 -o "$FRAME_WATCH" "$src/tests/e2e/frame_watch.c" -lX11 || fail "cannot build frame_watch"
  pics="$E2E_TMP/pictures"
  make_pictures "$pics"
  mkdir -p "$E2E_TMP/empty"
}
