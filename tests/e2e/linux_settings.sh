#!/usr/bin/env bash
# Settings in the Linux .reg file: a first run sees the defaults and creates
# nothing; a save creates ~/.config/glimmora/user.reg, byte for byte the file
# `reg export` gives on Windows for the same settings; that Windows file and
# a hand-edited REGEDIT4 file load by the same rules; the saver obeys a value.
# Usage: linux_settings.sh glimmora source-dir build-dir
program=$1
source "$2/tests/e2e/lib.sh"
data="$2/tests/settings/data"
tool="$3/tests/glimmora_settings_tool"
[ -x "$tool" ] || fail "no settings tool at $tool"
export XDG_CONFIG_HOME="$E2E_TMP/config"
file="$XDG_CONFIG_HOME/glimmora/user.reg"

note "no stored settings: the defaults, and nothing is created"
"$tool" load >"$E2E_TMP/loaded.txt"
diff "$data/defaults.txt" "$E2E_TMP/loaded.txt" || fail "first run does not load the defaults"
[ -e "$XDG_CONFIG_HOME" ] && fail "loading created $XDG_CONFIG_HOME"

note "a save writes the file regedit would write"
"$tool" save-sample
[ "$(stat -c %a "$file")" = 600 ] || fail "user.reg is not private"
cmp "$data/sample_user.reg" "$file" || fail "user.reg differs from the shared sample file"
"$tool" load >"$E2E_TMP/loaded.txt"
diff "$data/sample.txt" "$E2E_TMP/loaded.txt" || fail "the saved settings do not load back"

note "a file exported on Windows and a hand-edited one load by the same rules"
cp "$data/sample_user.reg" "$file"
"$tool" load >"$E2E_TMP/loaded.txt"
diff "$data/sample.txt" "$E2E_TMP/loaded.txt" || fail "the Windows export loads wrongly"
cp "$data/hand_edited.reg" "$file"
"$tool" load >"$E2E_TMP/loaded.txt"
diff "$data/hand_edited.txt" "$E2E_TMP/loaded.txt" || fail "hand-edited settings load wrongly"

note "a damaged file keeps its readable values, and a save keeps its notes"
{ head -c 300 "$data/hand_edited.reg"; printf 'garbage \\\n[HKEY_CURRENT_USER\\Software\\Glimm'; } >"$file"
"$tool" load | grep -qx 'Interval=20000' || fail "a damaged file lost a readable value"
[ "$("$tool" set HKCU 'Software\Glimmora' 4 Interval 3000)" = ok ] || fail "no save into a damaged file"
"$tool" load | grep -qx 'Interval=3000' || fail "the save into a damaged file was not read back"
iconv -f UTF-16LE -t UTF-8 "$file" | grep -q '^; Hand-edited settings' || fail "the file's note was lost"

note "the saver reads the stored settings: DebugSkipMonitor shrinks window 1"
start_xvfb
"$tool" set HKCU 'Software\Glimmora' 1 DebugSkipMonitor ' yes ' >/dev/null
xsetroot -solid '#406080'
"$program" /S &
pid=$!
ids=$(wait_for_class "glimmora" 1 30) || fail "no saver window"
id=$(printf '%s\n' $ids | head -n 1)
sleep 1
read -r x y w h <<<"$(window_geometry "$id")"
screenshot "$E2E_TMP/skip_monitor.png"
[ "$x $y $w $h" = "0 0 256 204" ] || fail "saver window at $x $y $w $h, not the top-left fifth"
# The desktop shows around the black saver window.
[ "$(pixel "$E2E_TMP/skip_monitor.png" 100 100)" = "0,0,0" ] || fail "no black saver window at the top left"
[ "$(pixel "$E2E_TMP/skip_monitor.png" 600 500)" = "64,96,128" ] || fail "the saver covers more than the top-left fifth"
xdotool mousemove 100 100 sleep 0.2 mousemove 120 120 key Escape
wait_exit $pid 15 || fail "the saver did not end"
echo PASS
