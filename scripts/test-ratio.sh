#!/usr/bin/env bash
# Lines of test code against lines of product code: C and C++ files tracked by
# git, blank lines and comments left out. Tests are everything under tests/;
# the product is every other C/C++ file.
#
#   scripts/test-ratio.sh        prints "tests T, product P, ratio R%"
set -euo pipefail
cd "$(dirname "$0")/.."

# Code lines of the files named on stdin: /* */ and // comments removed
# (quotes are not parsed: good enough for a ratio).
code_lines() {
  xargs -r cat | perl -0777 -ne '
    s{/\*.*?\*/}{}gs;
    s{^\s*//.*$}{}mg;
    print scalar(grep { /\S/ } split /\n/), "\n";'
}
files() { git ls-files -- '*.c' '*.cc' '*.cpp' '*.h' '*.hpp' | while read -r f; do [[ -f $f ]] && echo "$f"; done; }
tests=$(files | grep '^tests/' | code_lines)
product=$(files | grep -v '^tests/' | code_lines)
awk -v t="$tests" -v p="$product" 'BEGIN { printf "tests %d, product %d, ratio %.1f%%\n", t, p, 100 * t / p }'
