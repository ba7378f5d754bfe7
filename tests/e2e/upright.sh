#!/usr/bin/env bash
# A photo taken with the camera turned a quarter: stored 600x400 on its side
# with EXIF orientation 6, shown upright, 400x600 fitted to the 800x600
# screen (black left and right, its four coloured quarters where the upright
# photo has them), and admitted by "4/3 only", which takes it only as the
# portrait it is; the caption gives its size upright. Set E2E_SHOTS=dir to
# keep the screenshot.
# Usage: upright.sh glimmora|glimmora.scr source-dir build-dir
source "$2/tests/e2e/lib.sh"
start_xvfb 800x600x24
xsetroot -solid '#808080'
shots=${E2E_SHOTS:-$E2E_TMP}

pics="$E2E_TMP/pictures"
mkdir -p "$pics"
# Upright: red, green over blue, yellow; stored turned back by a quarter.
convert -size 200x300 'xc:#e02020' 'xc:#20c020' +append \( -size 200x300 'xc:#2040e0' 'xc:#f0e020' +append \) \
  -append -rotate -90 -quality 95 "$E2E_TMP/stored.jpg" || fail "cannot write the photo"
# The EXIF block (big-endian, IFD0 holding only the orientation, 6) right after the start marker.
exif='\xff\xe1\x00\x22Exif\x00\x00MM\x00\x2a\x00\x00\x00\x08\x00\x01\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00\x00\x00\x00\x00'
{ head -c 2 "$E2E_TMP/stored.jpg"; printf '%b' "$exif"; tail -c +3 "$E2E_TMP/stored.jpg"; } >"$pics/turned.jpg"
[ "$(identify -format '%wx%h %[EXIF:Orientation]' "$pics/turned.jpg")" = "600x400 6" ] || fail "the photo's EXIF block"

setting 7 ImageDirectory "$(folder_value "$pics")"
setting 4 UpscaleMode 1
setting 4 CheckAspectRatio 1
setting 4 ShowFileResolution 1

# "r,g,b" within 45 (summed) of a hex colour.
near() {
  local r g b hex=$2
  IFS=, read -r r g b <<<"$1"
  local dr=$((r - 16#${hex:0:2})) dg=$((g - 16#${hex:2:2})) db=$((b - 16#${hex:4:2}))
  [ $((${dr#-} + ${dg#-} + ${db#-})) -le 45 ]
}

note "/S: the photo upright, fitted between black bars"
start_saver
shot="$shots/${PLATFORM}_upright.png"
# Each quarter of the upright photo, then the bars: "x y colour".
checks=("300 150 e02020" "500 150 20c020" "300 400 2040e0" "500 400 f0e020" "100 300 000000" "700 300 000000")
for _ in $(seq 60); do
  screenshot "$shot"
  near "$(pixel "$shot" 300 150)" e02020 && break
  sleep 0.25
done
for check in "${checks[@]}"; do
  read -r x y colour <<<"$check"
  rgb=$(pixel "$shot" "$x" "$y")
  near "$rgb" "$colour" || fail "at $x,$y the screen shows $rgb, the upright photo has #$colour (see $shot)"
done
end_saver
echo PASS
