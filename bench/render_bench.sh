#!/usr/bin/env bash
# Frame-time benchmark of the Linux canvas (docs/benchmarks.md, "Picture
# renderer"). Makes a 24-megapixel photo-like JPEG once (fractal plasma with
# grain: about 10 MB, like a camera's) and the same picture stored turned
# back a quarter with EXIF orientation 6 (upright, the same frame), then
# times RenderPicture for both against a full decode + Cairo scale,
# interleaved in one run.
# Usage: bench/render_bench.sh [build dir] [repetitions]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build/linux}
reps=${2:-15}
picture=${GLIMMORA_BENCH_JPEG:-${TMPDIR:-/tmp}/glimmora-bench-24mp.jpg}
if [ ! -s "$picture" ]; then
  echo "making $picture (about 20 s)" >&2
  convert -size 6000x4000 -seed 7 plasma:fractal -blur 0x1 -attenuate 0.7 +noise Gaussian \
    -quality 92 -sampling-factor 2x2 "$picture"
fi
turned=${picture%.jpg}-6.jpg
if [ ! -s "$turned" ]; then
  echo "making $turned" >&2
  convert "$picture" -rotate -90 -quality 92 -sampling-factor 2x2 "jpg:$turned.tmp"
  # EXIF block (big-endian, IFD0 holding only the orientation, 6) right after the start marker.
  exif='\xff\xe1\x00\x22Exif\x00\x00MM\x00\x2a\x00\x00\x00\x08\x00\x01\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00\x00\x00\x00\x00'
  { head -c 2 "$turned.tmp"; printf '%b' "$exif"; tail -c +3 "$turned.tmp"; } >"$turned"
  rm -f "$turned.tmp"
fi
identify -format '%f: %wx%h, %b, orientation %[EXIF:Orientation]\n' "$picture" "$turned" >&2
GLIMMORA_BENCH_JPEG=$picture GLIMMORA_BENCH_JPEG6=$turned exec "$build/bench/render_bench" \
  --benchmark_repetitions="$reps" --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true
