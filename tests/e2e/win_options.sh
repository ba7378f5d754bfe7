#!/usr/bin/env bash
# The Windows options dialog under Wine, driven as a user would, with a
# window manager running (keys reach Wine dialogs reliably only with one):
# open /C, add a typed folder with the "M" button and the input box, open
# and close the Info panel (its preview shows that folder), change the
# interval, toggle "Include subdirs" through its shared access key, change
# the grace period, OK; then read the stored values back. Cancel, Esc and the close box must leave them as they were.
# Screenshots go to <build-dir>/e2e-shots/win_options_*.png.
# Usage: win_options.sh glimmora.scr source-dir build-dir
program=$1
src=$2
build=$3
source "$src/tests/e2e/lib.sh"
start_xvfb
openbox >"$E2E_TMP/openbox.log" 2>&1 &
E2E_PIDS+=($!)
use_private_wine_prefix
shots="$build/e2e-shots"
mkdir -p "$shots"
title="Glimmora - slide show by Glimmora Labs"
settings_key='HKCU\Software\Glimmora'
winlogon='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Winlogon'

# No stored grace period: the dialog shows 5, so typing 7 is a change.
wine reg delete "$winlogon" /v ScreenSaverGracePeriod /f >/dev/null 2>&1

# A picture folder, and its path as a Windows user types it.
mkdir -p "$E2E_TMP/pics"
convert -size 320x240 gradient:navy-gold "$E2E_TMP/pics/sample.jpg"
folder="Z:$(printf '%s' "$E2E_TMP/pics" | tr / '\\')"

# The dialog's client area is its X window; controls are placed in twips,
# 15 to a pixel at Wine's 96 dpi. centre LEFT TOP WIDTH HEIGHT (in the form).
centre() { echo "$((($1 + $3 / 2) / 15)) $((($2 + $4 / 2) / 15))"; }
click_at() { xdotool mousemove --window "$1" $2 $3 click 1; }

# Prints the id of a visible window with the title other than $1.
wait_for_other() {
  local other=$1 id
  for _ in $(seq 100); do
    for id in $(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null); do
      [ "$id" != "$other" ] && { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  return 1
}

wait_gone() {
  for _ in $(seq 100); do xwininfo -id "$1" >/dev/null 2>&1 || return 0; sleep 0.1; done
  return 1
}

reg_query() { wine reg query "$@" 2>/dev/null | tr -d '\r'; }

open_dialog() {
  wine "$program" /C &
  pid=$!
  dialog=$(wait_for_window "^$title\$" 30) || fail "no options dialog"
  xdotool windowactivate --sync "$dialog" >/dev/null 2>&1
  sleep 0.5
}

note "/C: the dialog opens at its designed size, the Info panel closed"
open_dialog
read -r _ _ w h <<<"$(window_geometry "$dialog")"
[ "$w $h" = "332 530" ] || fail "dialog client area $w x $h, expected 332 x 530"
screenshot "$shots/win_options_open.png"

note "M: the input box takes a typed folder"
click_at "$dialog" $(centre $((120 + 4260)) $((120 + 2160)) 315 315)
box=$(wait_for_other "$dialog") || fail "no input box"
xdotool windowactivate --sync "$box" >/dev/null 2>&1
sleep 0.3
screenshot "$shots/win_options_inputbox.png"
xdotool type --delay 20 "$folder"
xdotool key Return
wait_gone "$box" || fail "the input box did not close on Enter"
xdotool windowactivate --sync "$dialog" >/dev/null 2>&1
sleep 0.3

note ">>> opens the Info panel with the preview and widens the window; <<< closes it"
click_at "$dialog" $(centre 3900 7380 915 435)
sleep 2
read -r _ _ w _ <<<"$(window_geometry "$dialog")"
[ "$w" = 657 ] || fail "with the Info panel the client area is $w wide, expected 657"
screenshot "$shots/win_options_info.png"
click_at "$dialog" $(centre 3900 7380 915 435)
sleep 0.5
read -r _ _ w _ <<<"$(window_geometry "$dialog")"
[ "$w" = 332 ] || fail "closing the Info panel left the window $w wide"

# The focus is on >>>. Alt+I reaches "Interval:" first (the next label with
# that letter, wrapping around), and again "Include subdirs".
note "keys: Alt+I, Down x5 = 20 seconds, Alt+I again, Space clears Include subdirs, Alt+G grace 7, Enter"
xdotool key alt+i
sleep 0.2
xdotool key Down Down Down Down Down
sleep 0.2
xdotool key alt+i
sleep 0.2
xdotool key space
sleep 0.2
xdotool key alt+g
sleep 0.2
xdotool type 7
sleep 0.3
screenshot "$shots/win_options_edited.png"
xdotool key Return
wait_exit $pid 20 || fail "OK did not end the program"
[ "$EXIT_CODE" = 0 ] || fail "OK exit code $EXIT_CODE"

note "OK stored the grace period under HKLM"
reg_query "$winlogon" /v ScreenSaverGracePeriod | grep -Eq 'ScreenSaverGracePeriod +REG_SZ +7$' ||
  fail "grace period not stored: $(reg_query "$winlogon" /v ScreenSaverGracePeriod)"

note "OK stored the per-user settings"
stored=$(reg_query "$settings_key")
grep -Eq 'Interval +REG_DWORD +0x4e20$' <<<"$stored" || fail "Interval not 20000: $stored"
grep -Eq 'Recursive +REG_DWORD +0x0$' <<<"$stored" || fail "Recursive not cleared: $stored"
# reg query hides a multi-string's last backslash: read it as the program does.
images=$(wine "$3/tests/glimmora_settings_tool.exe" get HKCU 'Software\Glimmora' ImageDirectory | tr -d '\r')
[ "$images" = "ok $folder\\" ] || fail "ImageDirectory is [$images], expected [ok $folder\\]"

before=$(reg_query "$settings_key")
grace_before=$(reg_query "$winlogon" /v ScreenSaverGracePeriod)
for way in Cancel Esc close; do
  note "$way discards the changes"
  open_dialog
  xdotool key Down  # the interval has the focus
  xdotool key alt+g
  xdotool type 9
  sleep 0.3
  case $way in
    Cancel) click_at "$dialog" $(centre 2880 7380 915 435) ;;
    Esc) xdotool key Escape ;;
    close) xdotool key alt+F4 ;;
  esac
  wait_exit $pid 20 || fail "$way did not end the program"
  [ "$EXIT_CODE" = 0 ] || fail "$way exit code $EXIT_CODE"
  [ "$(reg_query "$settings_key")" = "$before" ] || fail "$way changed the stored settings"
  [ "$(reg_query "$winlogon" /v ScreenSaverGracePeriod)" = "$grace_before" ] || fail "$way changed the grace period"
done
echo PASS
