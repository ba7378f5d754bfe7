#!/usr/bin/env bash
# Makes the test pictures in this folder with Debian's tools (imagemagick,
# libheif-examples, webp). Each shows red, green / blue, yellow quadrants
# (the canvas contract's colours), 96 x 64 upright, or a red left half beside
# a transparent right half. They are committed: the Windows tests run where
# these tools are not.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
quadrants=(-size 48x32 xc:#E02020 \( -size 48x32 xc:#20C020 \) +append
           \( -size 48x32 xc:#2040E0 -size 48x32 xc:#F0E020 +append \) -append)
convert "${quadrants[@]}" PNG24:"$work/q.png"
convert "${quadrants[@]}" -depth 16 PNG48:"$work/q16.png"
convert "$work/q.png" -rotate 90 PNG24:"$work/q_cw.png"
convert -size 48x64 xc:#E02020 \( -size 48x64 xc:none \) +append PNG32:"$work/half.png"
convert -size 96x64 xc:white PNG24:"$work/white.png"

# Stored turned clockwise; its rotation property turns it back. heif-enc
# writes no rotation: its pixel-depth property (16 bytes, the last one) is
# overwritten by an irot of the same length (angle 1: a quarter
# anticlockwise), so no offset in the file moves.
heif-enc -q 90 -o "$work/turned.heic" "$work/q_cw.png" >/dev/null
python3 - "$work/turned.heic" turned.heic <<'PY'
import sys
d = bytearray(open(sys.argv[1], 'rb').read())
i = d.find(b'pixi')
assert i > 0 and int.from_bytes(d[i - 4:i], 'big') == 16
d[i - 4:i + 12] = (16).to_bytes(4, 'big') + b'irot' + bytes([1]) + bytes(7)
open(sys.argv[2], 'wb').write(d)
PY
heif-enc -q 90 -b 10 -p chroma=420 -o ten-bit.heic "$work/q16.png" >/dev/null
# aom 3.6 encodes 10-bit AV1 at 4:2:2 only.
heif-enc -q 90 -b 10 -p chroma=422 -A -o ten-bit.avif "$work/q16.png" >/dev/null
heif-enc -q 90 -A -o half-clear.avif "$work/half.png" >/dev/null
# A photo that says the day it was taken (2021-07-14): heif-enc keeps a
# JPEG's EXIF block as its Exif item (the TIFF header alone, at offset 0).
convert "${quadrants[@]}" -quality 90 "$work/q.jpg"
python3 - "$work/q.jpg" "$work/dated.jpg" <<'PY'
import struct, sys
tiff = b'MM' + struct.pack('>HI', 42, 8)  # IFD0 links the Exif IFD, which holds DateTimeOriginal
tiff += struct.pack('>HHHII', 1, 0x8769, 4, 1, 26) + struct.pack('>I', 0)
tiff += struct.pack('>HHHII', 1, 0x9003, 2, 20, 44) + struct.pack('>I', 0) + b'2021:07:14 12:00:00\0'
app1 = b'Exif\0\0' + tiff
jpeg = open(sys.argv[1], 'rb').read()
open(sys.argv[2], 'wb').write(jpeg[:2] + b'\xff\xe1' + struct.pack('>H', len(app1) + 2) + app1 + jpeg[2:])
PY
heif-enc -q 90 -o dated.heic "$work/dated.jpg" >/dev/null
cwebp -quiet -q 90 "$work/q.png" -o lossy.webp
cwebp -quiet -lossless "$work/q.png" -o lossless.webp
cwebp -quiet -q 90 "$work/half.png" -o half-clear.webp
img2webp -lossy "$work/q.png" "$work/white.png" -o animated.webp 2>/dev/null
