#!/usr/bin/env bash
# The options dialog driven as a user would, with a window manager running
# (keys reach Wine dialogs reliably only with one): add a typed folder
# through "M" and the input dialog, open and close the Info panel, change the
# interval, commit with OK; then the stored settings are read back, and a
# cancelled change leaves them alone. On Linux all of it from the keyboard,
# with a decimal-comma locale when one can be built (nothing the dialog shows
# or stores may depend on it); under Wine with the mouse too, also clearing
# "Include subdirs" through its shared access key and setting the grace
# period, and checking the dialog's designed size and Cancel and the close
# box. E2E_SHOTS=folder keeps the screenshots there.
# Usage: options.sh glimmora|glimmora.scr source-dir build-dir
source "$2/tests/e2e/lib.sh"
shots=${E2E_SHOTS:-$E2E_TMP}
mkdir -p "$shots"
start_xvfb
openbox >"$E2E_TMP/openbox.log" 2>&1 &
E2E_PIDS+=($!)
file="${XDG_CONFIG_HOME:-}/glimmora/user.reg" key='HKCU\Software\Glimmora'  # on Linux, on Windows
winlogon='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Winlogon'
# A picture folder for the Info panel's preview, and its path as a user types
# it (on Linux with blanks before it, which do not count).
folder="$E2E_TMP/My Photos"
mkdir -p "$folder"
convert -size 320x240 gradient:navy-gold "$folder/sample.jpg"
if win; then
  typed=$(winepath -w "$folder")
  # No stored grace period: the dialog shows 5, so typing 7 is a change.
  wine reg delete "$winlogon" /v ScreenSaverGracePeriod /f >/dev/null 2>&1
else
  typed="  $folder"
  # The locale goes to the program alone (not to this shell).
  mkdir -p "$E2E_TMP/locale"
  if localedef -i de_DE -f UTF-8 "$E2E_TMP/locale/de_DE.UTF-8" >/dev/null 2>&1; then
    RUN=(env LOCPATH="$E2E_TMP/locale" LC_ALL=de_DE.UTF-8)
    note "the program runs with the de_DE locale (decimal comma)"
  fi
fi

# A failure keeps a picture of the screen (E2E_SHOTS, or E2E_KEEP=1).
die() {
  screenshot "$shots/failure.png"
  fail "$@"
}

# Keys go to the window with the input focus: wait until the window manager
# has taken the window in (its frame extents are set), made it the active
# window and given it the focus; keys sent earlier may go to the frame.
# Wine's windows are activated first.
focus() {
  local id=$1 active
  win && xdotool windowactivate --sync "$id" >/dev/null 2>&1
  for _ in $(seq 150); do
    active=$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | awk '{print $NF}')
    if xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | grep -q = && [ "$((active))" = "$id" ] &&
      [ "$(xdotool getwindowfocus 2>/dev/null)" = "$id" ]; then
      sleep 0.5
      return 0
    fi
    sleep 0.1
  done
  die "window $id never got the focus"
}

wait_for_width() {  # until the dialog's width w meets the condition $1; prints it
  local w
  for _ in $(seq 100); do
    read -r _ _ w _ <<<"$(window_geometry "$dialog")"
    (($1)) && { echo "$w"; return 0; }
    sleep 0.1
  done
  echo "$w"
  return 1
}

open_dialog() {
  launch /C
  dialog=$(wait_for_window "^$title\$" 30) || die "no options dialog"
  focus "$dialog"
}

# The dialog's client area is its X window; Wine places controls in twips,
# 15 to a pixel at 96 dpi. Clicks the centre of LEFT TOP WIDTH HEIGHT.
click_at() { xdotool mousemove --window "$dialog" $((($1 + $3 / 2) / 15)) $((($2 + $4 / 2) / 15)) click 1; }

# >>> opens the Info panel with the folders' preview and widens the window;
# <<< closes it. Linux reaches it with Shift+Tab, wrapping from the first
# control.
info_panel() {
  if win; then click_at 3900 7380 915 435; else xdotool key --delay 80 shift+Tab Return; fi
  wide=$(wait_for_width 'w > narrow + 250') || die "the Info panel did not widen the dialog ($narrow -> $wide)"
  win && { [ "$wide" = 657 ] || die "with the Info panel the client area is $wide wide, expected 657"; }
  sleep 0.5
  screenshot "$shots/options_info_panel.png"
  if win; then click_at 3900 7380 915 435; else xdotool key Return; fi
  back=$(wait_for_width 'w == narrow') || die "closing the Info panel left the dialog $back wide, not $narrow"
}

# M (pressed before) opens an input dialog that takes the typed folder.
input_box() {
  local box=
  for _ in $(seq 100); do
    box=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | grep -vx "$dialog" | head -n 1)
    [ -n "$box" ] && break
    sleep 0.1
  done
  [ -n "$box" ] || die "M opened no input dialog"
  focus "$box"
  xdotool type --delay 15 "$typed"
  screenshot "$shots/options_input_box.png"
  xdotool key Return
  focus "$dialog"
  screenshot "$shots/options_folder_added.png"
}

note "/C opens the dialog with the first control focused"
open_dialog
read -r _ _ narrow height <<<"$(window_geometry "$dialog")"
screenshot "$shots/options_dialog.png"
win && { [ "$narrow $height" = "332 530" ] || die "dialog client area $narrow x $height, expected 332 x 530"; }

if win; then
  note "M: the input box takes a typed folder"
  click_at $((120 + 4260)) $((120 + 2160)) 315 315
  input_box
  note ">>> opens the Info panel with the preview; <<< closes it"
  info_panel
  # The focus is on >>>. Alt+I reaches "Interval:" first (the next label with
  # that letter, wrapping around), and again "Include subdirs".
  note "keys: Alt+I, Down x5 = 20 seconds, Alt+I again, Space clears Include subdirs, Alt+G grace 7, Enter"
  xdotool key --delay 200 alt+i Down Down Down Down Down alt+i space alt+g
  xdotool type 7
  sleep 0.3
  screenshot "$shots/options_edited.png"
  xdotool key Return
else
  note "Down five times in the interval combo: 15 -> 20 seconds"
  xdotool key --delay 60 Down Down Down Down Down
  note "Shift+Tab wraps to >>>; Enter opens the Info panel, Enter again closes it"
  info_panel
  note "Tab wraps to the interval; three more reach M, whose input dialog takes a typed folder"
  xdotool key --delay 80 Tab Tab Tab Tab Return
  input_box
  note "Alt+G reaches the grace period; Enter there is OK"
  xdotool key --delay 80 alt+g Return
fi
wait_exit $pid 20 || die "OK did not end the program"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after OK"

note "the stored settings hold the new interval and the typed folder"
if win; then
  stored=$(wine reg query "$key" | tr -d '\r')
  grep -Eq 'Interval +REG_DWORD +0x4e20$' <<<"$stored" || fail "Interval not 20000: $stored"
  grep -Eq 'Recursive +REG_DWORD +0x0$' <<<"$stored" || fail "Recursive not cleared: $stored"
  grace=$(wine reg query "$winlogon" /v ScreenSaverGracePeriod | tr -d '\r')
  grep -Eq 'ScreenSaverGracePeriod +REG_SZ +7$' <<<"$grace" || fail "grace period not stored under HKLM: $grace"
else
  [ -f "$file" ] || fail "OK stored nothing ($file missing)"
  iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r' | grep -qx '"Interval"=dword:00004e20' || fail "Interval not 20000"
fi
# As the program reads it: reg query hides a multi-string's last backslash.
images=$(tool get HKCU 'Software\Glimmora' ImageDirectory)
[ "$images" = "ok $(folder_value "$folder")" ] || fail "ImageDirectory is [$images]"

# What a dialog may store: the user's settings and the machine's grace period.
stored() {
  if win; then wine reg query "$key"; wine reg query "$winlogon" /v ScreenSaverGracePeriod; else cat "$file"; fi |
    md5sum
}
before=$(stored)
ways=(Esc)
win && ways=(Cancel Esc close)
for way in "${ways[@]}"; do
  note "a change that is cancelled ($way) stores nothing"
  open_dialog
  xdotool key Down alt+g  # the interval has the focus
  xdotool type 9
  sleep 0.3
  case $way in
    Cancel) click_at 2880 7380 915 435 ;;
    Esc) xdotool key Escape ;;
    close) xdotool key alt+F4 ;;
  esac
  wait_exit $pid 20 || die "$way did not end the program"
  [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after $way"
  [ "$(stored)" = "$before" ] || fail "$way changed the stored settings"
done
echo PASS
