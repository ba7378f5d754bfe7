# Shared by the benchmark scripts: a work folder cleaned up on exit with the
# processes started, an Xvfb per program, and the sample pictures in eight
# variations each. Source it from the source tree's root.

work=$(mktemp -d "/tmp/glimmora-$(basename "$0" .sh).XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export NO_AT_BRIDGE=1

# Starts a 1280x1024 Xvfb with a black root; sets XVFB_DISPLAY.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -br -noreset -nolisten tcp 3>"$work/$1.display" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    [ -s "$work/$1.display" ] && break
    sleep 0.05
  done
  XVFB_DISPLAY=":$(head -n 1 "$work/$1.display")"
}

# Writes the samples in eight variations as DIR/PREFIXn.jpg, n from 0, each
# passed through the further convert options given; sets SOURCES to the files.
sample_variations() {
  local dir=$1 prefix=$2 n=0 f v
  shift 2
  SOURCES=()
  for f in samples/*.jpg; do
    for v in "" "-flop" "-flip" "-rotate 180" "-modulate 110,120" "-modulate 90,80,110" "-negate" "-flop -modulate 120"; do
      # shellcheck disable=SC2086
      convert "$f" "$@" $v "$dir/$prefix$n.jpg" || exit 1
      SOURCES+=("$dir/$prefix$n.jpg")
      n=$((n + 1))
    done
  done
}
