#!/usr/bin/env bash
# Keys and the mouse in the Windows saver under Wine, over a folder of
# generated pictures: Right shows new pictures, Left brings back the previous
# ones, F7 then F8 turns the status overlay on, Escape or one mouse movement
# ends the saver with code 0 and the cursor is back, S sends the monitor-power
# broadcast without ending anything; in /P (inside a host window of another
# process) no key, movement or click ends it, the host's closing does. Set
# E2E_SHOTS=dir to keep the screenshots.
# Usage: win_keys.sh glimmora.scr source-dir build-dir
program=$1
src=$2
source "$src/tests/e2e/lib.sh"
source "$src/tests/e2e/keys_lib.sh"
start_xvfb 800x600x24
xsetroot -solid '#808080'
use_private_wine_prefix
shots=${E2E_SHOTS:-$E2E_TMP}
make_pictures "$E2E_TMP/pictures"
cursor_probe_build

# Sequential order, stretched over the screen, no caption, a minute between
# slides (so only keys change the pictures).
key='HKCU\Software\Glimmora'
folder="$(winepath -w "$E2E_TMP/pictures")\\"
wine reg add "$key" /v ImageDirectory /t REG_MULTI_SZ /d "$folder" /f >/dev/null || fail "reg add failed"
for value in Random:0 UpscaleMode:2 ShowFilename:0 Interval:60000 Recursive:0; do
  wine reg add "$key" /v "${value%%:*}" /t REG_DWORD /d "${value#*:}" /f >/dev/null || fail "reg add failed"
done
wineserver -w

start_saver() {
  xdotool mousemove 400 300
  wine "$program" "$@" &
  pid=$!
}

note "/S: a saver window with the cursor hidden; keys step through the pictures"
start_saver /S
wait_for_class "glimmora.scr" 1 30 >/dev/null || fail "no saver window"
sleep 1
[ "$(cursor_probe)" = hidden ] || fail "the cursor shows over the saver"
check_keys_and_overlay "$shots" || exit 1
note "S sends the monitor-power broadcast and ends nothing"
xdotool key s
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "S ended the saver"
check_escape_ends

note "/S: the first report of the pointer only records it; one movement ends the saver"
start_saver /S
wait_for_class "glimmora.scr" 1 30 >/dev/null || fail "no saver window"
sleep 1
kill -0 "$pid" 2>/dev/null || fail "the saver ended before the mouse moved"
xdotool mousemove_relative 3 2
wait_exit "$pid" 15 || fail "a mouse movement did not end the saver"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after a mouse movement"
[ "$(cursor_probe)" = visible ] || fail "no cursor after the saver"

note "/S: a click ends the saver"
start_saver /S
wait_for_class "glimmora.scr" 1 30 >/dev/null || fail "no saver window"
sleep 1
xdotool click 1
wait_exit "$pid" 15 || fail "a click did not end the saver"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after a click"

note "/P: keys, movements and clicks in the preview end nothing; closing the host does"
# A host of another process, as the display settings would be: it finds the
# saver's child in its preview area, sends it input, then closes.
x86_64-w64-mingw32-gcc -O1 -o "$E2E_TMP/keys_host.exe" -x c - -luser32 <<'C' || fail "cannot build the host program"
#include <windows.h>
#include <stdio.h>

static void Pump(DWORD ms) {
  DWORD end = GetTickCount() + ms;
  do {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
  } while ((LONG)(GetTickCount() - end) < 0);
}

static int Fail(const char* why, HANDLE process) {
  printf("FAIL: %s\n", why);
  if (process) TerminateProcess(process, 99);
  return 1;
}

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HWND host = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 250, NULL, NULL,
                              GetModuleHandleA(NULL), NULL);
  HWND area = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 20, 20, 152, 112, host, NULL,
                              GetModuleHandleA(NULL), NULL);
  char command[1024];
  snprintf(command, sizeof command, "\"%s\" /p %lu", argv[1], (unsigned long)(ULONG_PTR)area);
  STARTUPINFOA si = {sizeof si};
  PROCESS_INFORMATION pi;
  if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) return Fail("no saver", NULL);
  HWND saver = NULL;
  for (int i = 0; i < 200 && !saver; ++i) {
    Pump(50);
    saver = FindWindowExA(area, NULL, "GlimmoraSaverWindow", NULL);
  }
  if (!saver) return Fail("no saver window in the preview area", pi.hProcess);
  Pump(500);
  const WPARAM keys[] = {VK_ESCAPE, 'A', VK_RIGHT, VK_LEFT, 'S', VK_F8, VK_F7, VK_F7, VK_SPACE, VK_RETURN};
  for (int i = 0; i < (int)(sizeof keys / sizeof keys[0]); ++i) PostMessageA(saver, WM_KEYDOWN, keys[i], 1);
  PostMessageA(saver, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  PostMessageA(saver, WM_MOUSEMOVE, 0, MAKELPARAM(60, 40));
  PostMessageA(saver, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 40));
  PostMessageA(saver, WM_LBUTTONUP, 0, MAKELPARAM(60, 40));
  Pump(1500);
  if (WaitForSingleObject(pi.hProcess, 0) != WAIT_TIMEOUT) return Fail("input in the preview ended it", NULL);
  DestroyWindow(host);
  DWORD code = 99;
  if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) return Fail("the preview outlived its host", pi.hProcess);
  GetExitCodeProcess(pi.hProcess, &code);
  if (code != 0) return Fail("the preview did not end with code 0", NULL);
  puts("ok");
  return 0;
}
C
timeout 60 wine "$E2E_TMP/keys_host.exe" "$(winepath -w "$program")" >"$E2E_TMP/host.log" 2>&1
status=$?
tr -d '\r' <"$E2E_TMP/host.log" | grep -E '^(FAIL|ok)' >&2
[ "$status" = 0 ] || fail "preview input (host exit $status)"
echo PASS
