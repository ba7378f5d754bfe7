#!/usr/bin/env bash
# Runs a Windows program under Wine for tests and demos: a private Wine prefix
# (booted once per machine, then reused), the Arial -> Liberation Sans font
# replacement, crashes that exit instead of opening a debugger, and a virtual
# X display (Xvfb) when none is set. Usage: wine-run.sh program.exe [args...]
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
glimmora_wine_prefix || exit 1
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset -nolisten tcp" wine "$@"
fi
exec wine "$@"
