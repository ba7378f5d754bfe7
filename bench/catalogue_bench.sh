#!/usr/bin/env bash
# Catalogue benchmarks, one command: builds the two benchmark programs,
# generates (once) a tree of 100,000 files in 1,000 leaf folders and 2,000
# JPEGs under /tmp/glimmora-bench, warms the tree, runs the walk side by side
# with `find -type f | wc -l` and the admission probes, and prints the table.
# Usage: bench/catalogue_bench.sh [build-dir]   (default: build/linux)
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build/linux}
base=${GLIMMORA_BENCH_BASE:-/tmp/glimmora-bench}
export GLIMMORA_BENCH_TREE=$base/tree GLIMMORA_BENCH_JPEGS=$base/jpegs

cmake --build "$build" --target catalogue_walk_bench catalogue_admission_bench -j2 >/dev/null

# 10 folders of 100 folders, each with 90 pictures and 10 other files.
if [ ! -f "$base/tree.complete" ]; then
  rm -rf "$base/tree"
  for a in $(seq -w 0 9); do
    for b in $(seq -w 0 99); do
      d="$base/tree/album$a/day$b"
      mkdir -p "$d"
      (cd "$d" && touch IMG_{00..89}.jpg notes_{0..9}.txt)
    done
  done
  touch "$base/tree.complete"
fi
find "$base/tree" >/dev/null  # warm the caches for both walkers
find "$base/tree" >/dev/null

"$build/bench/catalogue_walk_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_format=json >"$base/walk.json"
"$build/bench/catalogue_admission_bench" --benchmark_format=json >"$base/admission.json"

python3 - "$base/walk.json" "$base/admission.json" <<'PY'
import json, sys
def pick(path, prefix, aggregate=None):
    for b in json.load(open(path))["benchmarks"]:
        if b["name"].startswith(prefix) and b.get("aggregate_name") == aggregate:
            return b
    raise SystemExit("no result for " + prefix)
find = pick(sys.argv[1], "BM_FindTypeF", "median")
cat = pick(sys.argv[1], "BM_CatalogueWalk", "median")
mem = pick(sys.argv[1], "BM_CatalogueMemory", "median")
h = pick(sys.argv[2], "BM_AdmitHeaderOnly")
f = pick(sys.argv[2], "BM_AdmitFullDecode")
print("| Measure | Catalogue | Reference | Ratio |")
print("|---|---|---|---|")
print("| Walk, entries/s (median of 5) | {:,.0f} ({:.1f} ms) | find -type f: {:,.0f} ({:.1f} ms) | {:.0%} |".format(
    cat["items_per_second"], cat["real_time"], find["items_per_second"], find["real_time"],
    cat["items_per_second"] / find["items_per_second"]))
print("| Heap per listed picture | {:.0f} bytes ({:,.0f} pictures) | | |".format(mem["bytes_per_picture"], cat["pictures"]))
print("| Admission \"1024x768\", files/s (2,000 JPEGs) | header only: {:,.0f} | full decode: {:,.0f} | {:.0f}x |".format(
    h["items_per_second"], f["items_per_second"], h["items_per_second"] / f["items_per_second"]))
PY
