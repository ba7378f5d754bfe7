#!/usr/bin/env bash
# The layer picture, drawn from the build's own target graph (cmake --graphviz):
# writes docs/layers.dot, and docs/layers.svg when Graphviz's dot is installed.
#   scripts/layer-graph.sh            write both
#   scripts/layer-graph.sh --check    fail when docs/layers.dot differs from the build
set -eu
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake -S . -B "$work/build" -DGLIMMORA_TESTS=OFF -DGLIMMORA_BENCH=OFF --graphviz="$work/graph/targets.dot" >/dev/null
# Only the layer libraries and the links between them, in a stable order.
python3 - "$work/graph/targets.dot" >"$work/layers.dot" <<'PY'
import re, sys
text = open(sys.argv[1]).read()
names = dict(re.findall(r'"(node\d+)" \[ label = "glimmora_(\w+)"', text))
edges = sorted({(names[a], names[b]) for a, b in re.findall(r'"(node\d+)" -> "(node\d+)"', text)
                if a in names and b in names})
print("// The layers and the one-way links between them; written by scripts/layer-graph.sh.")
print("digraph layers {")
print('  rankdir=TB; node [shape=box, fontname="Liberation Sans"];')
for a, b in edges:
    print(f"  {a} -> {b};")
print("}")
PY
if [ "${1:-}" = --check ]; then
  diff -u docs/layers.dot "$work/layers.dot" || { echo "docs/layers.dot is out of date: run scripts/layer-graph.sh" >&2; exit 1; }
  exit 0
fi
cp "$work/layers.dot" docs/layers.dot
if command -v dot >/dev/null; then
  dot -Tsvg docs/layers.dot -o docs/layers.svg
else
  echo "Graphviz's dot is not installed (apt install graphviz): docs/layers.svg not redrawn" >&2
fi
