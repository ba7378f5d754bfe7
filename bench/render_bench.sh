#!/usr/bin/env bash
# Frame-time benchmark of the Linux canvas (docs/benchmarks.md, "Picture
# renderer"). Makes a 24-megapixel photo-like JPEG once (fractal plasma with
# grain: about 10 MB, like a camera's), then times RenderPicture against a
# full decode + Cairo scale, interleaved in one run.
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
identify -format '%f: %wx%h, %b\n' "$picture" >&2
GLIMMORA_BENCH_JPEG=$picture exec "$build/bench/render_bench" \
  --benchmark_repetitions="$reps" --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true
