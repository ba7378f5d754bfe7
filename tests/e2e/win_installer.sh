#!/usr/bin/env bash
# The Windows downloads under Wine, on the two-monitor Xorg dummy server:
# - the portable zip holds glimmora.scr, libheif.dll, README and licences;
# - a silent install for all users over a previous screen saver puts the
#   files, the Apps & features entry and the Start-menu shortcut in place and
#   makes the installed saver current; the shortcut opens the options dialog
#   and the installed saver shows pictures on both monitors;
# - the same version again, after the user deleted the settings key, and a
#   newer one over it leave one entry and the same files, and still remember
#   the previous screen saver;
# - the silent uninstall (the QuietUninstallString) leaves the prefix as it
#   was but for the user's settings, with the previous screen saver back;
# - the per-user layout (/CurrentUser) installs and uninstalls as cleanly,
#   and keeps a screen saver chosen after the install;
# - odd previous SCRNSAVE.EXE values (missing, empty, not a string, longer
#   than the installer's own strings) come back exactly;
# - an upgrade over an earlier setup, which kept the previous screen saver
#   among the settings, moves it to the setup's own key.
# Set E2E_SHOTS=dir to keep the screenshots.
# Usage: win_installer.sh glimmora.scr source-dir build-dir
program=$1
src=$2
build=$3
source "$src/tests/e2e/lib.sh"
# No menu entries in the host's home for the shortcuts made in the prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=};winemenubuilder.exe=d"
start_xorg_two_monitors
xsetroot -solid '#808080'
# A running server: each of the many Wine commands below then starts fast.
wineserver -p
shots=${E2E_SHOTS:-$E2E_TMP}
pics="$E2E_TMP/pictures"
make_pictures "$pics"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
setup="$build/glimmora-$version-setup.exe"
portable="$build/glimmora-$version-portable.zip"
[ -f "$setup" ] || fail "no installer at $setup"
[ -f "$portable" ] || fail "no portable zip at $portable"
drive_c=$(cd "$WINEPREFIX/drive_c" && pwd -P)
desktop='HKCU\Control Panel\Desktop'
entry='Software\Microsoft\Windows\CurrentVersion\Uninstall\Glimmora'
previous_key='HKCU\Software\Glimmora Setup\PreviousScreenSaver'
title="Glimmora - slide show by Glimmora Labs"

# Each Wine command costs up to a second on a busy machine: a key is read
# once and its values taken from the text.
reg_q() { wine reg query "$@" 2>/dev/null | tr -d '\r'; }
# The data of value $2 in the text of a key $1, nothing when it is missing.
data_in() {
  awk -v name="    $2    " 'index($0, name) == 1 { value = substr($0, length(name) + 1); sub(/^REG_[A-Z_]+    /, "", value);
    sub(/^REG_[A-Z_]+$/, "", value); print value; exit }' <<<"$1"
}
reg_data() { data_in "$(reg_q "$1")" "$2"; }
# The file under drive_c that a C: path names (Wine keeps its case).
unix_path() {
  local path=${1#[Cc]:}
  echo "$drive_c${path//\\//}"
}
files() { (cd "$drive_c" && find . -path './users/*/Temp' -prune -o -print | sort); }
# The parts of the registry a program's setup may change, as text (the rest
# is Wine's record of the display hardware). The uninstaller leaves its copy
# in %TEMP% to be removed at the next boot (PendingFileRenameOperations), as
# NSIS uninstallers do.
registry() {
  local key
  for key in 'HKCU\Software' 'HKCU\Control Panel' 'HKLM\Software' 'HKLM\System\CurrentControlSet\Control\Session Manager'; do
    wine reg export "$key" "Z:${E2E_TMP//\//\\}\\export.reg" /y >/dev/null 2>&1 || fail "cannot export $key"
    iconv -f UTF-16 -t UTF-8 "$E2E_TMP/export.reg" | tr -d '\r' |
      awk '/^"PendingFileRenameOperations"=/ { skip = 1 } skip { if ($0 !~ /\\$/) skip = 0; next } { print }'
  done
}
entries() { reg_q "$1\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s | grep -c '^    DisplayName    REG_SZ    Glimmora$'; }

run_setup() {
  timeout 120 wine "$@" >"$E2E_TMP/setup.log" 2>&1 || { cat "$E2E_TMP/setup.log" >&2; fail "$* exited with $?"; }
}

# Runs the entry's QuietUninstallString as Apps & features would. The
# uninstaller runs from a copy in %TEMP%: wait for that copy to end.
uninstaller_running() {
  local cmdline
  for cmdline in $(grep -lsa '~nsu.*Un\.exe' /proc/[0-9]*/cmdline); do
    grep -qzx "WINEPREFIX=$WINEPREFIX" "${cmdline%/cmdline}/environ" 2>/dev/null && return 0
  done
  return 1
}
uninstall() {
  local root=$1 quiet exe
  quiet=$(reg_data "$root\\$entry" QuietUninstallString)
  [[ "$quiet" =~ ^\"([^\"]+)\"\ (.+)$ ]] || fail "$root QuietUninstallString is \"$quiet\""
  exe=${BASH_REMATCH[1]}
  # shellcheck disable=SC2086
  timeout 60 wine "$exe" ${BASH_REMATCH[2]} || fail "the uninstaller exited with $?"
  for _ in $(seq 300); do
    [ ! -e "$(unix_path "$exe")" ] && ! uninstaller_running && return 0
    sleep 0.1
  done
  fail "the uninstaller did not finish"
}

# Checks the Apps & features entry under $1 for the saver $2 and the folder $3.
check_entry() {
  local root=$1 saver=$2 dir=$3 out line size
  out=$(reg_q "$root\\$entry")
  for line in "DisplayName    REG_SZ    Glimmora" "DisplayVersion    REG_SZ    ${4:-$version}" \
    "Publisher    REG_SZ    Glimmora Labs" "DisplayIcon    REG_SZ    $saver,0" \
    "UninstallString    REG_SZ    \"$dir\\uninstall.exe\"" \
    "QuietUninstallString    REG_SZ    \"$dir\\uninstall.exe\" /S" \
    "NoModify    REG_DWORD    0x1" "NoRepair    REG_DWORD    0x1"; do
    grep -qxF "    $line" <<<"$out" || { echo "$out" >&2; fail "$root entry lacks: $line"; }
  done
  size=$(sed -n 's/^    EstimatedSize    REG_DWORD    //p' <<<"$out")
  [ -n "$size" ] && [ $((size)) -ge $(($(stat -c %s "$program") / 1024)) ] || fail "EstimatedSize is \"$size\""
  [ "$(entries HKLM)$(entries HKCU)" = "$([ "$root" = HKLM ] && echo 10 || echo 01)" ] ||
    fail "Apps & features entries: $(entries HKLM) in HKLM, $(entries HKCU) in HKCU"
}

# Checks that SCRNSAVE.EXE names $1, this build's saver, and that the screen
# saver is on.
check_current_saver() {
  local values named
  values=$(reg_q "$desktop")
  named=$(data_in "$values" SCRNSAVE.EXE)
  [ "${named,,}" = "${1,,}" ] || fail "SCRNSAVE.EXE is \"${named:0:200}\", not $1"
  cmp -s "$(unix_path "$1")" "$program" || fail "$1 is not this build's saver"
  [ "$(data_in "$values" ScreenSaveActive)" = 1 ] || fail "ScreenSaveActive is not 1"
}

note "the portable zip: glimmora.scr, libheif.dll, README and licences"
mkdir -p "$E2E_TMP/portable"
(cd "$E2E_TMP/portable" && cmake -E tar xf "$portable") || fail "cannot unpack $portable"
[ "$(cd "$E2E_TMP/portable" && find . -type f ! -path './licences/*' | LC_ALL=C sort | tr '\n' ' ')" = \
  "./LICENSE.txt ./README.txt ./glimmora.scr ./libheif.dll " ] && [ -f "$E2E_TMP/portable/licences/libheif/COPYING" ] ||
  fail "the zip holds: $(cd "$E2E_TMP/portable" && find . -type f | tr '\n' ' ')"
cmp -s "$E2E_TMP/portable/glimmora.scr" "$program" || fail "the zip's glimmora.scr is not this build's"
grep -q "MIT License" "$E2E_TMP/portable/LICENSE.txt" || fail "the zip's licence is not the MIT licence"

note "the installer's version information says $version"
python3 - "$setup" "$version" <<'PY' || fail "no ProductVersion $version in the installer's version information"
import re, sys
data = open(sys.argv[1], "rb").read()
key = "ProductVersion\0".encode("utf-16-le")
sys.exit(0 if re.search(re.escape(key) + b"(\0\0)?" + re.escape(sys.argv[2].encode("utf-16-le")), data) else 1)
PY

note "silent install for all users over a previous screen saver"
previous='C:\windows\system32\scrnsave.scr'
wine reg add "$desktop" /v SCRNSAVE.EXE /d "$previous" /f >/dev/null 2>&1
wine reg add "$desktop" /v ScreenSaveActive /d 0 /f >/dev/null 2>&1
files >"$E2E_TMP/files.before"
registry >"$E2E_TMP/registry.before"
run_setup "$setup" /S
files >"$E2E_TMP/files.installed"
comm -23 "$E2E_TMP/files.before" "$E2E_TMP/files.installed" | grep . && fail "the install removed files"
expected="./Program Files/Glimmora
./Program Files/Glimmora/LICENSE.txt
./Program Files/Glimmora/glimmora-settings.exe
./Program Files/Glimmora/libheif.dll
./Program Files/Glimmora/uninstall.exe
./ProgramData/Microsoft/Windows/Start Menu/Programs/Glimmora Settings.lnk
./windows/system32/glimmora.scr"
added=$(comm -13 "$E2E_TMP/files.before" "$E2E_TMP/files.installed" | grep -v '^./Program Files/Glimmora/licences')
[ "$added" = "$expected" ] || fail "the install added: $added"
[ -f "$drive_c/Program Files/Glimmora/licences/libheif/COPYING" ] || fail "no licence notices installed"
check_entry HKLM 'C:\windows\system32\glimmora.scr' 'C:\Program Files\Glimmora'
check_current_saver 'C:\windows\system32\glimmora.scr'
remembered=$(reg_q "$previous_key")
[ "$(data_in "$remembered" SCRNSAVE.EXE)" = "$previous" ] && [ "$(data_in "$remembered" ScreenSaveActive)" = 0 ] ||
  fail "the previous screen saver was not remembered"

note "the user resets the settings"
wine reg delete 'HKCU\Software\Glimmora' /f >/dev/null 2>&1

note "the Start-menu shortcut opens the options dialog"
wine start 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Glimmora Settings.lnk' >/dev/null 2>&1
dialog=$(wait_for_window "^$title\$" 30) || fail "the shortcut opened no options dialog"
dialog_pid=$(xdotool getwindowpid "$dialog")
[ -n "$dialog_pid" ] && kill "$dialog_pid"

note "the installed saver shows pictures on both monitors"
tool="$build/tests/glimmora_settings_tool.exe"
[ "$(wine "$tool" set HKCU 'Software\Glimmora' 7 ImageDirectory "$(winepath -w "$pics")\\" | tr -d '\r')" = ok ] ||
  fail "cannot store ImageDirectory"
wine "$(reg_data "$desktop" SCRNSAVE.EXE)" /S &
pid=$!
wait_for_class "glimmora.scr" 2 30 >/dev/null || fail "fewer than two saver windows"
for _ in $(seq 50); do
  shown=$(monitor_pictures "$shots/win_installer_show.png")
  two_pictures "$shown" && break
  sleep 0.2
done
two_pictures "$shown" || fail "the installed saver shows \"$shown\", not two different pictures"
end_saver

note "the same version again (after the reset): one entry, the same files, the same previous screen saver"
run_setup "$setup" /S
files | cmp -s - "$E2E_TMP/files.installed" || fail "installing again changed the files"
check_entry HKLM 'C:\windows\system32\glimmora.scr' 'C:\Program Files\Glimmora'
check_current_saver 'C:\windows\system32\glimmora.scr'
[ "$(reg_data "$previous_key" SCRNSAVE.EXE)" = "$previous" ] || fail "installing again forgot the previous screen saver"

IFS=. read -r major minor patch <<<"$version"
newer="$major.$minor.$((patch + 1))"
note "a newer version ($newer) over it: upgraded in place"
makensis -V2 -DVERSION="$newer" -DOUTFILE="$E2E_TMP/glimmora-$newer-setup.exe" \
  "$build/packaging/windows/glimmora_setup.nsi" >"$E2E_TMP/makensis.log" 2>&1 ||
  { cat "$E2E_TMP/makensis.log" >&2; fail "cannot build the newer installer"; }
run_setup "$E2E_TMP/glimmora-$newer-setup.exe" /S
files | cmp -s - "$E2E_TMP/files.installed" || fail "the upgrade changed the set of files"
check_entry HKLM 'C:\windows\system32\glimmora.scr' 'C:\Program Files\Glimmora' "$newer"
[ "$(reg_data "$previous_key" SCRNSAVE.EXE)" = "$previous" ] || fail "the upgrade forgot the previous screen saver"

note "silent uninstall: only the user's settings stay, the previous screen saver is back"
uninstall HKLM
files | cmp -s - "$E2E_TMP/files.before" ||
  fail "files differ after the uninstall: $(files | diff "$E2E_TMP/files.before" - | grep '^[<>]')"
values=$(reg_q "$desktop")
[ "$(data_in "$values" SCRNSAVE.EXE)" = "$previous" ] || fail "SCRNSAVE.EXE was not restored"
[ "$(data_in "$values" ScreenSaveActive)" = 0 ] || fail "ScreenSaveActive was not restored"
registry >"$E2E_TMP/registry.after"
python3 - "$E2E_TMP/registry.before" "$E2E_TMP/registry.after" <<'PY' || fail "the registry differs after the uninstall"
import sys
def keys(path):
    out, key = {}, None
    for line in open(path, encoding="utf-8"):
        line = line.rstrip("\n")
        if line.startswith("["):
            key = line
            out[key] = []
        elif key and line:
            out[key].append(line)
    return out
before, after = keys(sys.argv[1]), keys(sys.argv[2])
settings = "[HKEY_CURRENT_USER\\Software\\Glimmora]"
kept = after.pop(settings, None)
if not kept or not any(v.startswith('"ImageDirectory"=') for v in kept):
    sys.exit("the user's settings are gone")
# Wine's own session state, not part of Windows' registry.
volatile = "[HKEY_CURRENT_USER\\Software\\Wine\\Temporary System Parameters"
changed = [k for k in sorted(set(before) | set(after)) if before.get(k) != after.get(k) and not k.startswith(volatile)]
for key in changed:
    print(key, "before:", str(before.get(key))[:300], "after:", str(after.get(key))[:300], file=sys.stderr)
sys.exit(1 if changed else 0)
PY

note "per-user install (/CurrentUser) and uninstall"
user_dir=$(wine cmd /c echo '%LOCALAPPDATA%' | tr -d '\r')\\Programs\\Glimmora
menu=$(wine cmd /c echo '%APPDATA%' | tr -d '\r')'\Microsoft\Windows\Start Menu\Programs\Glimmora Settings.lnk'
files >"$E2E_TMP/files.before"
run_setup "$setup" /S /CurrentUser
added=$(files | comm -13 "$E2E_TMP/files.before" - | grep -v '/licences')
relative() { local p; p=$(unix_path "$1"); echo ".${p#"$drive_c"}"; }
for name in glimmora.scr glimmora-settings.exe LICENSE.txt libheif.dll uninstall.exe; do
  grep -qxF "$(relative "$user_dir\\$name")" <<<"$added" || fail "no $name in $user_dir: $added"
done
grep -qxF "$(relative "$menu")" <<<"$added" || fail "no shortcut at $menu"
[ "$(grep -c . <<<"$added")" -le 8 ] || fail "the per-user install added: $added"
check_entry HKCU "$user_dir\\glimmora.scr" "$user_dir"
check_current_saver "$user_dir\\glimmora.scr"
# A screen saver chosen since the install stays.
wine reg add "$desktop" /v SCRNSAVE.EXE /d 'C:\windows\system32\other.scr' /f >/dev/null 2>&1
uninstall HKCU
[ "$(reg_data "$desktop" SCRNSAVE.EXE)" = 'C:\windows\system32\other.scr' ] ||
  fail "the uninstall replaced a screen saver chosen after the install"
files | cmp -s - "$E2E_TMP/files.before" ||
  fail "files differ after the per-user uninstall: $(files | diff "$E2E_TMP/files.before" - | grep '^[<>]')"
wine reg query "$previous_key" >/dev/null 2>&1 && fail "the uninstall left $previous_key"
[ "$(entries HKCU)" = 0 ] || fail "the uninstall left the Apps & features entry"

note "odd previous screen saver values come back exactly"
long="C:\\$(head -c 1500 /dev/zero | tr '\0' 'x').scr"
cases=(
  "missing||"
  "empty|REG_SZ|"
  "a number|REG_DWORD|7"
  "bytes|REG_BINARY|00ff10"
  "with a variable|REG_EXPAND_SZ|%SystemRoot%\\system32\\ribbons.scr"
  "longer than the installer's strings|REG_SZ|$long"
)
wine reg delete "$desktop" /v ScreenSaveActive /f >/dev/null 2>&1
for case in "${cases[@]}"; do
  IFS='|' read -r name type data <<<"$case"
  if [ -z "$type" ]; then
    wine reg delete "$desktop" /v SCRNSAVE.EXE /f >/dev/null 2>&1
  else
    wine reg add "$desktop" /v SCRNSAVE.EXE /t "$type" /d "$data" /f >/dev/null 2>&1 || fail "cannot set the $name value"
  fi
  before=$(reg_q "$desktop")
  run_setup "$setup" /S
  check_current_saver 'C:\windows\system32\glimmora.scr'
  uninstall HKLM
  [ "$(reg_q "$desktop")" = "$before" ] ||
    fail "$name: $(diff <(echo "$before") <(reg_q "$desktop") | grep '^[<>]' | cut -c1-120)"
done

note "an upgrade over an earlier setup moves the previous screen saver it kept among the settings"
old_key='HKCU\Software\Glimmora\PreviousScreenSaver'
run_setup "$setup" /S
wine reg delete 'HKCU\Software\Glimmora Setup' /f >/dev/null 2>&1
wine reg add "$old_key" /v Recorded /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine reg add "$old_key" /v SCRNSAVE.EXE /d "$previous" /f >/dev/null 2>&1
run_setup "$setup" /S
wine reg query "$old_key" >/dev/null 2>&1 && fail "the upgrade left $old_key"
uninstall HKLM
[ "$(reg_data "$desktop" SCRNSAVE.EXE)" = "$previous" ] || fail "the moved previous screen saver was not restored"
echo PASS
