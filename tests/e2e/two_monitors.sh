#!/usr/bin/env bash
# A two-monitor X server (Xorg dummy: 800x600 at 0,0 and 640x480 at 800,0):
# the platform tests that need a real display, one saver window per monitor,
# the options dialog beside its owner, and /P embedding into a window of
# another process. Set E2E_SHOTS=dir to keep the screenshots.
# Usage: two_monitors.sh glimmora|glimmora.scr source-dir build-dir
source "$2/tests/e2e/lib.sh"
start_xorg_two_monitors
# A grey desktop, so the screenshots show where the saver windows end.
xsetroot -solid '#808080'
shots=${E2E_SHOTS:-$E2E_TMP}

note "the platform tests that need a display: monitors (and on Linux key places and DPMS rules) against this server"
export GLIMMORA_EXPECT_MONITORS="0,0,800,600;800,0,1440,480"
if win; then platform_tests 'Win32Display.*'; else platform_tests 'LinuxDisplay.*:GdkKeyEvents.*:LinuxDpms/*'; fi

note "/S: one window exactly over each monitor; a key ends the saver with code 0"
start_saver 2
sleep 0.5
geometries=$(for id in $ids; do window_geometry "$id"; done | sort)
[ "$geometries" = "$(printf '0 0 800 600\n800 0 640 480')" ] || fail "saver windows at: $geometries"
shot="$shots/${PLATFORM}_two_monitors.png"
screenshot "$shot"
for corner in "0 0" "799 599" "800 0" "1439 479"; do
  [ "$(pixel "$shot" $corner)" = "0,0,0" ] || fail "not black at $corner"
done
# Below monitor 2 lies no monitor: the desktop shows there.
[ "$(pixel "$shot" 1000 520)" = "128,128,128" ] || fail "a saver window reaches below monitor 2"
end_saver

note "/C with an owner on monitor 2: the dialog 32 pixels right of and below it (under Wine: the owner disabled)"
if win; then
  run_host owner 900 60 || fail "options dialog with an owner on monitor 2"
else
  start_host 300x100+850+40
  read -r ox oy _ <<<"$(window_geometry "$HOST")"
  launch /c:"$HOST"
  id=$(wait_for_window "^$title\$" 30) || fail "no options dialog"
  read -r x y _ <<<"$(window_geometry "$id")"
  [ "$x $y" = "$((ox + 32)) $((oy + 32))" ] || fail "dialog at $x,$y for an owner at $ox,$oy"
  kill "$pid" "$HOST_PID"
fi

note "/C with an owner across both monitors: the dialog centred on monitor 1"
if win; then
  run_host centre 700 60 || fail "options dialog with an owner across monitors"
else
  start_host 300x100+700+40
  launch /C "$HOST"
  id=$(wait_for_window "^$title\$" 30) || fail "no options dialog"
  read -r x y w h <<<"$(window_geometry "$id")"
  # Centred on 800x600 for the dialog's own size, halves rounded to even.
  read -r ex ey <<<"$(python3 -c "print(round((800 - $w) / 2), round((600 - $h) / 2))")"
  [ "$x $y" = "$ex $ey" ] || fail "dialog at $x,$y (${w}x$h), expected $ex,$ey"
  kill "$pid" "$HOST_PID"
fi

note "/P into another program's window: a child filling it, ended when the host closes"
if win; then
  run_host preview 100 100 || fail "preview embedding"
else
  start_host 200x150+100+100 0
  launch /P "$HOST"
  child=$(preview_child) || { xwininfo -tree -id "$HOST" >&2; fail "no saver window inside the host"; }
  read -r cx cy cw ch <<<"$(window_geometry "$child")"
  read -r hx hy hw hh <<<"$(window_geometry "$HOST")"
  [ "$cx $cy $cw $ch" = "$hx $hy $hw $hh" ] || fail "preview child at $cx $cy $cw $ch, host $hx $hy $hw $hh"
  screenshot "$shots/linux_preview.png"
  [ "$(pixel "$shots/linux_preview.png" 101 101)" = "0,0,0" ] || fail "the preview does not draw into the host"
  [ "$(pixel "$shots/linux_preview.png" 99 99)" = "128,128,128" ] || fail "the preview draws outside the host"
  close_host
fi
echo PASS
