#!/bin/sh
# Makes a delay-import library for a system DLL from its import library: the
# same functions, each loading the DLL on its first call. Data exports are
# left out (they cannot be delay-loaded), so a use of one fails to link
# rather than importing the DLL at start.
# Usage: make-delay-import-lib.sh NM DLLTOOL IMPORT-LIBRARY DLL-NAME OUTPUT
set -eu
nm=$1 dlltool=$2 library=$3 dll=$4 output=$5
# dlltool names the library's symbols after the output path: a plain name.
cd "$(dirname "$output")"
output=$(basename "$output")
def="$output.def"
{
  echo "LIBRARY $dll"
  echo "EXPORTS"
  # A function has both its thunk (T name) and its import slot (I __imp_name).
  "$nm" "$library" | awk '$2 == "T" { text[$3] = 1 } $2 == "I" && $3 ~ /^__imp_/ { slot[substr($3, 7)] = 1 }
    END { for (name in slot) if (name in text) print name }' | LC_ALL=C sort
} >"$def.new"
mv "$def.new" "$def"
rm -f "$output"
"$dlltool" --input-def "$def" --dllname "$dll" --output-delaylib "$output"
