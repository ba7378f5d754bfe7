#!/usr/bin/env bash
# The Linux options dialog driven from the keyboard as a user would: change
# the interval, open and close the Info panel, add a typed folder through
# "M" and the input dialog, commit with Enter in the grace period; then the
# stored settings are read back, and a cancelled change leaves them alone.
# Runs with a decimal-comma locale when one can be built: nothing the dialog
# shows or stores may depend on it.
# Usage: linux_options.sh glimmora source-dir build-dir
# E2E_SHOTS=folder keeps the screenshots there.
program=$1
source "$2/tests/e2e/lib.sh"
shots=${E2E_SHOTS:-$E2E_TMP}
mkdir -p "$shots"
start_xvfb
openbox >/dev/null 2>&1 &
E2E_PIDS+=($!)
export XDG_CONFIG_HOME="$E2E_TMP/config"
file="$XDG_CONFIG_HOME/glimmora/user.reg"
title="Glimmora - slide show by Glimmora Labs"
folder="$E2E_TMP/My Photos"
mkdir -p "$folder"

# The program's environment: the locale goes to it alone (not to this shell).
run=(env)
mkdir -p "$E2E_TMP/locale"
if localedef -i de_DE -f UTF-8 "$E2E_TMP/locale/de_DE.UTF-8" >/dev/null 2>&1; then
  run=(env LOCPATH="$E2E_TMP/locale" LC_ALL=de_DE.UTF-8)
  note "the program runs with the de_DE locale (decimal comma)"
fi

# The ids of the visible windows with the program's title.
titled_windows() { xdotool search --onlyvisible --name "^$title\$" 2>/dev/null; }

# A failure keeps a picture of the screen (E2E_SHOTS, or E2E_KEEP=1).
die() {
  screenshot "$shots/failure.png"
  fail "$@"
}

# Keys go to the window with the input focus: wait until the window manager
# has taken the window in (its frame extents are set), made it the active
# window and given it the focus; keys sent earlier may go to the frame.
wait_focus() {
  local id=$1 active
  for _ in $(seq 150); do
    active=$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | awk '{print $NF}')
    if xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | grep -q = && [ "$((active))" = "$id" ] &&
      [ "$(xdotool getwindowfocus 2>/dev/null)" = "$id" ]; then
      sleep 0.5
      return 0
    fi
    sleep 0.1
  done
  return 1
}

wait_for_width() {  # window, test on its width ("-gt 600"); prints the width
  local id=$1 test=$2 x y w h
  for _ in $(seq 100); do
    read -r x y w h <<<"$(window_geometry "$id")"
    [ "$w" $test ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  echo "$w"
  return 1
}

note "/C opens the dialog with the first control focused"
"${run[@]}" "$program" /C &
pid=$!
id=$(wait_for_window "^$title\$" 30) || die "no options dialog"
wait_focus "$id" || die "the dialog never got the focus"
read -r _ _ narrow _ <<<"$(window_geometry "$id")"
screenshot "$shots/options_dialog.png"

note "Down five times in the interval combo: 15 -> 20 seconds"
xdotool key --delay 60 Down Down Down Down Down

note "Shift+Tab wraps to >>>; Enter opens the Info panel, Enter again closes it"
xdotool key --delay 80 shift+Tab Return
wide=$(wait_for_width "$id" "-gt $((narrow + 250))") || die "the Info panel did not widen the dialog ($narrow -> $wide)"
sleep 0.5
screenshot "$shots/options_info_panel.png"
xdotool key Return
back=$(wait_for_width "$id" "-eq $narrow") || die "closing the Info panel left the dialog $back wide, not $narrow"

note "Tab wraps to the interval; three more reach M, whose input dialog takes a typed folder"
xdotool key --delay 80 Tab Tab Tab Tab Return
input=
for _ in $(seq 100); do
  input=$(titled_windows | grep -vx "$id" | head -n 1)
  [ -n "$input" ] && break
  sleep 0.1
done
[ -n "$input" ] || die "M opened no input dialog"
wait_focus "$input" || die "the input dialog never got the focus"
xdotool type --delay 15 "  $folder"
screenshot "$shots/options_input_box.png"
xdotool key Return
wait_focus "$id" || die "the input dialog did not give the focus back"
screenshot "$shots/options_folder_added.png"

note "Alt+G reaches the grace period; Enter there is OK"
xdotool key --delay 80 alt+g Return
wait_exit $pid 15 || die "OK did not end the program"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after OK"

note "the stored settings hold the new interval and the typed folder"
[ -f "$file" ] || fail "OK stored nothing ($file missing)"
python3 - "$file" "$folder/" <<'PY' || fail "stored settings differ"
import re, sys
text = open(sys.argv[1], 'rb').read().decode('utf-16')
text = re.sub(r'\\\r?\n\s*', '', text)  # continued hex lines
values = dict(re.findall(r'^"([^"]+)"=(.*?)\r?$', text, re.M))
assert values.get('Interval') == 'dword:00004e20', values.get('Interval')
data = bytes(int(b, 16) for b in values['ImageDirectory'].split(':', 1)[1].split(','))
folders = data.decode('utf-16-le')
assert sys.argv[2] in folders, repr(folders)
PY
cp "$file" "$E2E_TMP/after_ok.reg"

note "a change that is cancelled (Esc) stores nothing"
"${run[@]}" "$program" /C &
pid=$!
id=$(wait_for_window "^$title\$" 30) || die "no options dialog the second time"
wait_focus "$id" || die "the dialog never got the focus the second time"
xdotool key --delay 60 Down Down Escape
wait_exit $pid 15 || die "Esc did not end the program"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after Esc"
cmp -s "$file" "$E2E_TMP/after_ok.reg" || fail "Esc changed the stored settings"
echo PASS
