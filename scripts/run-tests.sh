#!/usr/bin/env bash
# Installs what is missing, builds both targets (Linux natively, Windows with
# MinGW-w64), and runs every test: native unit and platform tests, the same
# under AddressSanitizer/UndefinedBehaviorSanitizer, the tests that use
# threads under ThreadSanitizer, the Windows tests under Wine, and the
# end-to-end runs of both programs on virtual displays.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
# Tests run without a desktop; each end-to-end script starts its own X server.
unset DISPLAY
export NO_AT_BRIDGE=1

status=0
# linux-tsan builds and runs only the unit tests that use threads (its presets say which).
for preset in linux linux-asan linux-tsan windows; do
  echo "== $preset: configure and build" >&2
  cmake --preset "$preset" "${launcher[@]}" >/dev/null
  cmake --build --preset "$preset" -j "$jobs" >/dev/null
done
# The libFuzzer targets are built, not run (scripts/fuzz.sh runs them), so a
# change that breaks one shows here.
echo "== fuzz targets: configure and build" >&2
cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DGLIMMORA_FUZZ=ON \
  -DGLIMMORA_TESTS=OFF -DGLIMMORA_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build/fuzz -j "$jobs" --target fuzz_targets >/dev/null
for preset in linux linux-asan linux-tsan windows; do
  echo "== $preset: tests" >&2
  ctest --preset "$preset" -j "$jobs" || status=1
done
exit $status
