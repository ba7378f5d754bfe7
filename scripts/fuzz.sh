#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (ASan and UBSan), runs
# each one after the other for a fixed time from a copy of its seed corpus, and
# prints one table of what each did and found. Exits non-zero on any finding.
# Usage: scripts/fuzz.sh [seconds-per-target [target...]]   (default: 60, all)
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
only=" ${*:2} "
build=build/fuzz
command -v clang++ >/dev/null || scripts/install-deps.sh

# target | seed corpus (empty: none) | dictionary (empty: none)
targets=(
  "reg_file_fuzz|tests/settings/data|tests/fuzz/reg_file.dict"
  "settings_load_fuzz|tests/settings/data|tests/fuzz/reg_file.dict"
  "shell_link_fuzz|tests/fuzz/lnk_corpus|"
  "picture_header_fuzz|tests/fuzz/picture_corpus|"
  "picture_decode_fuzz|tests/fuzz/picture_corpus|"
  "row_reducer_fuzz||"
  "edid_fuzz|tests/fuzz/edid_corpus|"
  "window_id_fuzz|tests/fuzz/window_id_corpus|"
)

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
  -DGLIMMORA_FUZZ=ON -DGLIMMORA_TESTS=OFF -DGLIMMORA_BENCH=OFF "${launcher[@]}" >/dev/null
names=()
chosen=()
for t in "${targets[@]}"; do
  [ "$only" = "  " ] || [[ "$only" == *" ${t%%|*} "* ]] || continue
  names+=("${t%%|*}")
  chosen+=("$t")
done
targets=("${chosen[@]}")
cmake --build "$build" -j 2 --target "${names[@]}" >/dev/null

scratch=$(mktemp -d /tmp/glimmora-fuzz.XXXXXX)
rows=()
status=0
for t in "${targets[@]}"; do
  IFS='|' read -r name seeds dict <<<"$t"
  dir=$scratch/$name
  mkdir -p "$dir/corpus" "$dir/artifacts"
  [ -z "$seeds" ] || cp "$seeds"/* "$dir/corpus/"
  options=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$dir/artifacts/"
           -rss_limit_mb=2048 -timeout=10)
  [ -n "$dict" ] && options+=(-dict="$dict")
  echo "== $name: ${seconds}s, log in $dir/log" >&2
  code=0
  "$build/tests/fuzz/$name" "${options[@]}" "$dir/corpus" >"$dir/log" 2>&1 || code=$?

  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$dir/log")
  stats=$(grep -E '^#[0-9]+.* cov: ' "$dir/log" | tail -n 1)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$stats")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$stats")
  corpus=$(find "$dir/corpus" -type f | wc -l)
  findings=$(find "$dir/artifacts" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | sort | paste -sd ' ' -)
  if [ -z "$findings" ] && [ "$code" -ne 0 ]; then findings="exit $code, see $dir/log"; fi
  [ -n "$findings" ] && status=1
  rows+=("$name|${execs:-?}|${rate:-?}|${cov:-?}|${ft:-?}|$corpus|${findings:-none}")
done

printf '\n%-20s %12s %8s %7s %7s %7s  %s\n' target executions exec/s cov ft corpus findings
for r in "${rows[@]}"; do
  IFS='|' read -r name execs rate cov ft corpus findings <<<"$r"
  printf '%-20s %12s %8s %7s %7s %7s  %s\n' "$name" "$execs" "$rate" "$cov" "$ft" "$corpus" "$findings"
done
echo "(${seconds}s per target; corpora, logs and findings in $scratch)"
exit $status
