#!/usr/bin/env bash
# The Debian package as a user gets it: cpack builds glimmora_<version>_amd64.deb
# with its dependencies, lintian finds no errors, apt installs it, the
# installed program shows pictures when started as XScreenSaver starts a
# hack (from its hack folder, with --root) and ends at once on SIGTERM, and
# apt remove and purge leave none of its files behind.
# It installs into /usr, so it runs only as root, and it leaves alone a
# machine where glimmora is already installed; a sanitizer build is not
# packaged. Set E2E_SHOTS=dir to keep the screenshot.
# Usage: linux_package.sh glimmora source-dir build-dir
skip() { echo "SKIP: $*" >&2; exit 0; }
[[ $1 == *.scr ]] && skip "the Debian package is the Linux build's"
source "$2/tests/e2e/lib.sh"

[ "$(id -u)" = 0 ] || skip "installing the package needs root"
grep -q '^GLIMMORA_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" && skip "a sanitizer build is not packaged"
for tool in cpack apt-get dpkg-deb dpkg-shlibdeps flock; do
  command -v "$tool" >/dev/null || skip "no $tool here"
done
installed() { dpkg-query -W -f='${Status}' glimmora 2>/dev/null | grep -q 'ok installed'; }
installed && skip "glimmora is already installed on this machine"
# Other checkouts on the machine may run this test too: one at a time.
exec 9>/tmp/glimmora-package-test.lock
flock -w 240 9 || fail "another package test holds /tmp/glimmora-package-test.lock"
installed && skip "glimmora is already installed on this machine"

apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=120 -y -qq "$@" >"$E2E_TMP/apt.log" 2>&1; }
we_installed=
package_cleanup() {
  [ -n "$we_installed" ] && installed && apt_get purge glimmora
  e2e_cleanup
}
trap package_cleanup EXIT

note "cpack: the package, its name and control fields"
cpack --config "$build/CPackConfig.cmake" -B "$E2E_TMP/pkg" >"$E2E_TMP/cpack.log" 2>&1 ||
  { cat "$E2E_TMP/cpack.log" >&2; fail "cpack failed"; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$E2E_TMP/pkg/glimmora_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $deb: $(ls "$E2E_TMP/pkg")"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package) $(field Version) $(field Architecture)" = "glimmora $version amd64" ] ||
  fail "control: $(field Package) $(field Version) $(field Architecture)"
[[ "$(field Depends)" == *libgtk-3-0* && "$(field Depends)" == *libc6* ]] ||
  fail "the dependencies are not those of the binary: $(field Depends)"
[[ "$(field Suggests)" == *xscreensaver* ]] || fail "XScreenSaver is not suggested: $(field Suggests)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "maintainer: $(field Maintainer)"
[ -n "$(field Section)" ] || fail "no section"

note "the package's files"
dpkg-deb -c "$deb" | awk '{print $1, $6}' | sed 's| \./| /|' >"$E2E_TMP/contents"
for path in /usr/bin/glimmora /usr/libexec/xscreensaver/glimmora /usr/share/xscreensaver/config/glimmora.xml \
  /usr/share/applications/glimmora.desktop /usr/share/icons/hicolor/scalable/apps/glimmora.svg \
  /usr/share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/glimmora.png \
  /usr/share/man/man1/glimmora.1.gz /usr/share/doc/glimmora/{copyright,changelog.gz,README.md}; do
  grep -q " $path\$" "$E2E_TMP/contents" || fail "the package has no $path"
done
dpkg-deb -x "$deb" "$E2E_TMP/root"
for size in 16 48 256; do
  [ "$(identify -format '%wx%h' "$E2E_TMP/root/usr/share/icons/hicolor/${size}x$size/apps/glimmora.png")" = \
    "${size}x$size" ] || fail "the ${size}x$size icon has another size"
done
python3 - "$E2E_TMP/root/usr/share/xscreensaver/config/glimmora.xml" <<'PY' || fail "glimmora.xml is not a hack description"
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
assert root.tag == "screensaver" and root.get("name") == "glimmora" and root.get("_label") == "Glimmora"
assert root.find("command").get("arg") == "--root" and root.find("_description").text.strip()
PY
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$E2E_TMP/root/usr/share/applications/glimmora.desktop" || fail "the desktop entry is not valid"
fi
if command -v lintian >/dev/null; then
  note "lintian"
  lintian --fail-on error "$deb" 2>&1 | grep -v 'running with root privileges' >&2
  [ "${PIPESTATUS[0]}" = 0 ] || fail "lintian reports errors"
else
  note "no lintian here: not checked"
fi

note "apt install"
we_installed=1
apt_get install --no-install-recommends "$deb" || { cat "$E2E_TMP/apt.log" >&2; fail "apt could not install $deb"; }
installed || fail "glimmora is not installed after apt install"
[ "$(readlink -f /usr/libexec/xscreensaver/glimmora)" = /usr/bin/glimmora ] ||
  fail "the hack link does not lead to /usr/bin/glimmora"
file -L /usr/bin/glimmora | grep -q ', stripped' || fail "the installed program is not stripped"

note "the installed program shows pictures"
start_xvfb 640x480x24
xsetroot -solid '#808080'
export XDG_CONFIG_HOME="$E2E_TMP/config"
pics="$E2E_TMP/pictures"
make_pictures "$pics"
[ "$("$build/tests/glimmora_settings_tool" set HKCU 'Software\Glimmora' 7 ImageDirectory "$pics/")" = ok ] ||
  fail "cannot store the picture folder"
# As XScreenSaver starts a hack: from its folder, with --root, into the
# window $XSCREENSAVER_WINDOW names (here the root window itself).
XSCREENSAVER_WINDOW=$(xwininfo -root | awk '/Window id:/{print $4}') /usr/libexec/xscreensaver/glimmora --root &
pid=$!
shot="${E2E_SHOTS:-$E2E_TMP}/linux_package.png"
shown=
for _ in $(seq 50); do
  sleep 0.2
  screenshot "$shot"
  shown=$(picture_of "$(pixel "$shot" 200 150)")
  [[ "$shown" =~ ^[1-6]$ ]] && break
done
[[ "$shown" =~ ^[1-6]$ ]] || fail "the installed program shows no picture (at 200,150: $shown)"
note "picture $shown"
kill -TERM "$pid"
wait_exit "$pid" 5 || fail "the installed program outlived SIGTERM"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after SIGTERM"

note "apt remove and purge: nothing of the package left"
apt_get remove glimmora || { cat "$E2E_TMP/apt.log" >&2; fail "apt could not remove glimmora"; }
leftovers=()
while read -r mode path; do
  [ -e "$path" ] || [ -L "$path" ] || continue
  # A folder may stay when it is not empty or another package owns it.
  if [[ "$mode" == d* ]]; then
    [ -n "$(ls -A "$path")" ] || dpkg -S "$path" >/dev/null 2>&1 && continue
  fi
  leftovers+=("$path")
done <"$E2E_TMP/contents"
[ ${#leftovers[@]} -eq 0 ] || fail "left after apt remove: ${leftovers[*]}"
# Without configuration files the removal forgets the package already.
if dpkg-query -W glimmora >/dev/null 2>&1; then
  apt_get purge glimmora || { cat "$E2E_TMP/apt.log" >&2; fail "apt could not purge glimmora"; }
fi
dpkg-query -W glimmora >/dev/null 2>&1 && fail "dpkg still knows glimmora after the purge"
[ ! -e /usr/share/doc/glimmora ] || fail "/usr/share/doc/glimmora is left"
exit 0
