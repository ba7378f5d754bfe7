#!/usr/bin/env bash
# The settings store: a first run sees the defaults (and on Linux creates
# nothing); a save writes what the other platform writes for the same
# settings, byte for byte: the Linux ~/.config/glimmora/user.reg is the file
# `reg export` gives under Wine, where every value is checked from outside
# with `wine reg`; hand-edited values load by their rules; on Linux a damaged
# file keeps what is readable, under Wine the machine-wide grace period reads
# and writes; the saver obeys a stored value.
# Usage: settings.sh glimmora|glimmora.scr source-dir build-dir
source "$2/tests/e2e/lib.sh"
data="$src/tests/settings/data"
file="${XDG_CONFIG_HOME:-}/glimmora/user.reg" key='HKCU\Software\Glimmora'  # on Linux, on Windows
winlogon='Software\Microsoft\Windows NT\CurrentVersion\Winlogon'
start_xvfb
loads() { tool load >"$E2E_TMP/loaded.txt" && diff "$data/$1" "$E2E_TMP/loaded.txt"; }

note "no stored settings: the defaults, and nothing is created"
loads defaults.txt || fail "first run does not load the defaults"
! win && [ -e "$XDG_CONFIG_HOME" ] && fail "loading created $XDG_CONFIG_HOME"

note "a save writes what regedit exports; every value with its type, debug values never"
tool save-sample
if win; then
  wine reg query "$key" | tr -d '\r' >"$E2E_TMP/query.txt"
  for line in 'Interval    REG_DWORD    0xea60' 'Recursive    REG_DWORD    0x0' \
    'ShowFilenameColorText    REG_DWORD    0xff' 'ExcludeDirectory    REG_MULTI_SZ    C:\Pictures\Private' \
    'ImageDirectory    REG_MULTI_SZ    C:\Pictures\\0\\server\photos\2023 Holiday'; do
    grep -qF "    $line" "$E2E_TMP/query.txt" || { cat "$E2E_TMP/query.txt" >&2; fail "reg query lacks: $line"; }
  done
  grep -q Debug "$E2E_TMP/query.txt" && fail "a debug value was written"
  [ "$(grep -c REG_ "$E2E_TMP/query.txt")" = 16 ] || fail "not sixteen values"
  wine reg export "$key" "$(winepath -w "$E2E_TMP/export.reg")" /y >/dev/null || fail "reg export failed"
  cmp "$data/sample_user.reg" "$E2E_TMP/export.reg" || fail "reg export differs from the shared sample file"
else
  [ "$(stat -c %a "$file")" = 600 ] || fail "user.reg is not private"
  cmp "$data/sample_user.reg" "$file" || fail "user.reg differs from the shared sample file"
fi
loads sample.txt || fail "the saved settings do not load back"

note "a file exported on Windows and a hand-edited one load by the same rules"
if win; then
  wine reg delete "$key" /f >/dev/null
  wine reg import "$(winepath -w "$data/hand_edited.reg")" >/dev/null 2>&1 || fail "reg import failed"
else
  cp "$data/sample_user.reg" "$file"
  loads sample.txt || fail "the Windows export loads wrongly"
  cp "$data/hand_edited.reg" "$file"
fi
loads hand_edited.txt || fail "hand-edited settings load wrongly"

if win; then
  note "the machine-wide grace period"
  [ "$(tool set HKLM "$winlogon" 1 ScreenSaverGracePeriod 10)" = ok ] || fail "grace period not written"
  wine reg query "HKLM\\$winlogon" /v ScreenSaverGracePeriod | tr -d '\r' | grep -q 'REG_SZ    10$' ||
    fail "reg query: no grace period 10"
  [ "$(tool get HKLM "$winlogon" ScreenSaverGracePeriod)" = "ok 10" ] || fail "grace period not read back"
else
  note "a damaged file keeps its readable values, and a save keeps its notes"
  { head -c 300 "$data/hand_edited.reg"; printf 'garbage \\\n[HKEY_CURRENT_USER\\Software\\Glimm'; } >"$file"
  tool load | grep -qx 'Interval=20000' || fail "a damaged file lost a readable value"
  [ "$(tool set HKCU 'Software\Glimmora' 4 Interval 3000)" = ok ] || fail "no save into a damaged file"
  tool load | grep -qx 'Interval=3000' || fail "the save into a damaged file was not read back"
  iconv -f UTF-16LE -t UTF-8 "$file" | grep -q '^; Hand-edited settings' || fail "the file's note was lost"
fi

note "the saver reads the stored settings: DebugSkipMonitor shrinks window 1"
setting 1 DebugSkipMonitor ' yes '
xsetroot -solid '#406080'
start_saver
sleep 1
read -r x y w h <<<"$(window_geometry "$(head -n 1 <<<"$ids")")"
screenshot "$E2E_TMP/skip_monitor.png"
[ "$x $y $w $h" = "0 0 256 204" ] || fail "saver window at $x $y $w $h, not the top-left fifth"
# The desktop shows around the black saver window.
[ "$(pixel "$E2E_TMP/skip_monitor.png" 100 100)" = "0,0,0" ] || fail "no black saver window at the top left"
[ "$(pixel "$E2E_TMP/skip_monitor.png" 600 500)" = "64,96,128" ] || fail "the saver covers more than the top-left fifth"
if ! win; then
  # A keyboard grab would take these keys from the other window and end the saver.
  note "typing into another window does not end it"
  start_host 200x80+600+400 0
  xdotool mousemove 650 440 windowfocus --sync "$HOST" type abc
  sleep 0.5
  kill -0 "$pid" 2>/dev/null || fail "typing into another window ended the saver"
fi
xdotool mousemove 100 100 sleep 0.2 mousemove 120 120 key Escape
wait_exit $pid 15 || fail "the saver did not end"
echo PASS
