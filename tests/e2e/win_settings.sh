#!/usr/bin/env bash
# Settings in the real registry under Wine, checked from outside with
# `wine reg`: a first run sees the defaults; a save writes every value with
# its type (and `reg export` gives byte for byte the file the Linux build
# writes for the same settings); hand-edited values load by their rules; the
# machine-wide grace period reads and writes; the saver obeys a stored value.
# Usage: win_settings.sh glimmora.scr source-dir build-dir
program=$1
source "$2/tests/e2e/lib.sh"
data="$2/tests/settings/data"
tool="$3/tests/glimmora_settings_tool.exe"
[ -f "$tool" ] || fail "no settings tool at $tool"
start_xvfb
use_private_wine_prefix
key='HKCU\Software\Glimmora'
winlogon='Software\Microsoft\Windows NT\CurrentVersion\Winlogon'
# Console output of Windows programs ends lines with CR-LF.
run() { wine "$@" | tr -d '\r'; }

note "no stored settings: the defaults"
run "$tool" load >"$E2E_TMP/loaded.txt"
diff "$data/defaults.txt" "$E2E_TMP/loaded.txt" || fail "first run does not load the defaults"

note "a save writes every value with its type; debug values are never written"
run "$tool" save-sample
run reg query "$key" >"$E2E_TMP/query.txt"
for line in 'Interval    REG_DWORD    0xea60' 'Recursive    REG_DWORD    0x0' 'ShowFilenameColorText    REG_DWORD    0xff' \
  'ImageDirectory    REG_MULTI_SZ    C:\Pictures\\0\\server\photos\2023 Holiday' \
  'ExcludeDirectory    REG_MULTI_SZ    C:\Pictures\Private'; do
  grep -qF "    $line" "$E2E_TMP/query.txt" || { cat "$E2E_TMP/query.txt" >&2; fail "reg query lacks: $line"; }
done
grep -q Debug "$E2E_TMP/query.txt" && fail "a debug value was written"
[ "$(grep -c REG_ "$E2E_TMP/query.txt")" = 12 ] || fail "not twelve values"
run "$tool" load >"$E2E_TMP/loaded.txt"
diff "$data/sample.txt" "$E2E_TMP/loaded.txt" || fail "the saved settings do not load back"
wine reg export "$key" "$(winepath -w "$E2E_TMP/export.reg")" /y >/dev/null || fail "reg export failed"
cmp "$data/sample_user.reg" "$E2E_TMP/export.reg" || fail "reg export differs from the shared sample file"

note "hand-edited values load by their rules"
wine reg delete "$key" /f >/dev/null
wine reg import "$(winepath -w "$data/hand_edited.reg")" >/dev/null 2>&1 || fail "reg import failed"
run "$tool" load >"$E2E_TMP/loaded.txt"
diff "$data/hand_edited.txt" "$E2E_TMP/loaded.txt" || fail "hand-edited settings load wrongly"

note "the machine-wide grace period"
[ "$(run "$tool" set HKLM "$winlogon" 1 ScreenSaverGracePeriod 10)" = ok ] || fail "grace period not written"
run reg query "HKLM\\$winlogon" /v ScreenSaverGracePeriod | grep -q 'REG_SZ    10$' || fail "reg query: no grace period 10"
[ "$(run "$tool" get HKLM "$winlogon" ScreenSaverGracePeriod)" = "ok 10" ] || fail "grace period not read back"

note "the saver reads the stored settings: DebugSkipMonitor shrinks window 1"
wine reg add "$key" /v DebugSkipMonitor /t REG_SZ /d ' yes ' /f >/dev/null
xsetroot -solid '#406080'
wine "$program" /S &
pid=$!
ids=$(wait_for_class "glimmora.scr" 1 30) || fail "no saver window"
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
