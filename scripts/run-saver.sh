#!/usr/bin/env bash
# Installs what is missing, builds the Linux program and runs the saver on the
# sample pictures in samples/. The settings of this demo live in a private
# folder, so your own settings are not touched. Without a display, the saver
# runs on a virtual one (Xvfb) and a screenshot is saved.
# Usage: scripts/run-saver.sh [seconds]   (default 10; 0 = until a key or mouse move)
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-10}
scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target glimmora >/dev/null

demo=$(mktemp -d /tmp/glimmora-demo.XXXXXX)
export XDG_CONFIG_HOME="$demo/config"
mkdir -p "$XDG_CONFIG_HOME/glimmora"
# The settings file in the format Glimmora itself writes (and regedit
# exports): "Windows Registry Editor Version 5.00", UTF-16LE with a BOM,
# CR-LF; the include folder as a multi-string (hex(7): UTF-16LE, the entry
# ended by one NUL).
folder="$root/samples/"
hex=$(printf '%s\0' "$folder" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -s ' \n' ',' | sed 's/^,//; s/,$//')
{
  printf '\xff\xfe'
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Glimmora]' \
    "\"ImageDirectory\"=hex(7):$hex" \
    '"Interval"=dword:00000bb8' \
    '"Random"=dword:00000001' \
    '"Recursive"=dword:00000001' \
    '"ShowFilename"=dword:00000002' \
    '"ShowFileResolution"=dword:00000001' '' | iconv -f UTF-8 -t UTF-16LE
} >"$XDG_CONFIG_HOME/glimmora/user.reg"

if [ -z "${DISPLAY:-}" ]; then
  n=77
  while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x800x24 -noreset -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null' EXIT
  export DISPLAY=":$n"
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
  build/linux/glimmora /S &
  saver=$!
  [ "$seconds" = 0 ] && seconds=5
  sleep "$seconds"
  shot="$root/glimmora-screenshot.png"
  import -window root "$shot"
  kill "$saver" 2>/dev/null || true
  echo "No display: the saver ran on a virtual display; screenshot saved to $shot"
else
  echo "Showing the sample pictures. Arrow keys step, S turns the monitors off, any other key or the mouse ends."
  if [ "$seconds" = 0 ]; then
    build/linux/glimmora /S
  else
    build/linux/glimmora /S &
    saver=$!
    sleep "$seconds"
    kill "$saver" 2>/dev/null || true
  fi
fi
rm -rf "$demo"
