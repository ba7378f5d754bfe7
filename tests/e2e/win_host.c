/* A stand-in for the screen-saver host of the Windows tests (built by the
 * end-to-end script with MinGW-w64, run under Wine). It opens a top-level
 * window with a child "preview area", starts the saver with a switch that
 * names the child, checks what the saver did to its windows, and exits 0 on
 * success, 1 on failure (with a line saying why).
 *
 *   win_host owner   X Y SCR   /c:<child>; the dialog lands at owner + 32 and
 *                              the owner is disabled
 *   win_host centre  X Y SCR   the same, expecting the dialog centred on
 *                              monitor 1 (the owner lies across monitors)
 *   win_host preview X Y SCR   /p <child>; a saver child fills the preview
 *                              area; closing the host ends the saver with 0
 *   win_host input   X Y SCR   the same, and keys, movements and clicks sent
 *                              to the preview end nothing
 */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char kTitle[] = "Glimmora - slide show by Glimmora Labs";

static void Pump(DWORD ms) {
  DWORD end = GetTickCount() + ms;
  do {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
  } while ((LONG)(GetTickCount() - end) < 0);
}

static int Fail(const char* why, PROCESS_INFORMATION* pi) {
  printf("FAIL: %s\n", why);
  fflush(stdout);
  if (pi && pi->hProcess) TerminateProcess(pi->hProcess, 99);
  return 1;
}

static BOOL Start(const char* scr, const char* args, PROCESS_INFORMATION* pi) {
  char command[1024];
  STARTUPINFOA si;
  memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  snprintf(command, sizeof command, "\"%s\" %s", scr, args);
  return CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &si, pi);
}

/* The saver's dialog or preview child, waited for up to ten seconds. */
static HWND WaitFor(HWND parent, const char* cls, const char* title) {
  for (int i = 0; i < 500; ++i) {
    HWND w = parent ? FindWindowExA(parent, NULL, cls, title) : FindWindowA(cls, title);
    if (w && IsWindowVisible(w)) return w;
    Pump(20);
  }
  return NULL;
}

static int CheckDialog(HWND owner, HWND child, const char* scr, BOOL centred) {
  PROCESS_INFORMATION pi;
  char args[64];
  memset(&pi, 0, sizeof pi);
  snprintf(args, sizeof args, "/c:%lu", (unsigned long)(ULONG_PTR)child);
  if (!Start(scr, args, &pi)) return Fail("cannot start the saver", NULL);
  HWND dialog = WaitFor(NULL, NULL, kTitle);
  if (!dialog) return Fail("no options dialog", &pi);
  Pump(200);
  RECT o, d;
  GetWindowRect(owner, &o);
  GetWindowRect(dialog, &d);
  int ex = o.left + 32, ey = o.top + 32;
  if (centred) {
    /* Monitor 1 is 800x600 at 0,0; halves go to the even neighbour. */
    double x = 400.0 - (d.right - d.left) / 2.0, y = 300.0 - (d.bottom - d.top) / 2.0;
    ex = (int)x;
    ey = (int)y;
    if (x - ex == 0.5 && ex % 2) ++ex;
    if (y - ey == 0.5 && ey % 2) ++ey;
  }
  printf("owner %ld,%ld dialog %ld,%ld (%ldx%ld) expected %d,%d enabled %d\n", o.left, o.top, d.left, d.top,
         d.right - d.left, d.bottom - d.top, ex, ey, IsWindowEnabled(owner));
  if (d.left != ex || d.top != ey) return Fail("dialog misplaced", &pi);
  if (IsWindowEnabled(owner)) return Fail("owner still enabled", &pi);
  if ((HWND)GetWindowLongPtrA(dialog, GWLP_HWNDPARENT) != owner) return Fail("dialog not owned", &pi);
  TerminateProcess(pi.hProcess, 0);
  printf("OK\n");
  return 0;
}

static int CheckPreview(HWND owner, HWND child, const char* scr, BOOL input) {
  PROCESS_INFORMATION pi;
  char args[64];
  memset(&pi, 0, sizeof pi);
  snprintf(args, sizeof args, "/p %lu", (unsigned long)(ULONG_PTR)child);
  if (!Start(scr, args, &pi)) return Fail("cannot start the saver", NULL);
  HWND saver = WaitFor(child, "GlimmoraSaverWindow", NULL);
  if (!saver) return Fail("no saver window inside the preview area", &pi);
  Pump(300);
  RECT c, s;
  GetWindowRect(child, &c);
  GetWindowRect(saver, &s);
  LONG style = GetWindowLongA(saver, GWL_STYLE);
  printf("area %ld,%ld-%ld,%ld saver %ld,%ld-%ld,%ld style %08lx\n", c.left, c.top, c.right, c.bottom, s.left,
         s.top, s.right, s.bottom, (unsigned long)style);
  if (GetParent(saver) != child) return Fail("saver is not a child of the preview area", &pi);
  if (!(style & WS_CHILD)) return Fail("saver lacks WS_CHILD", &pi);
  if (s.left != c.left || s.top != c.top || s.right != c.right || s.bottom != c.bottom)
    return Fail("saver does not fill the preview area", &pi);
  if (input) {
    const WPARAM keys[] = {VK_ESCAPE, 'A', VK_RIGHT, VK_LEFT, 'S', VK_F8, VK_F7, VK_F7, VK_SPACE, VK_RETURN};
    for (int i = 0; i < (int)(sizeof keys / sizeof keys[0]); ++i) PostMessageA(saver, WM_KEYDOWN, keys[i], 1);
    PostMessageA(saver, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    PostMessageA(saver, WM_MOUSEMOVE, 0, MAKELPARAM(60, 40));
    PostMessageA(saver, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 40));
    PostMessageA(saver, WM_LBUTTONUP, 0, MAKELPARAM(60, 40));
    Pump(1500);
  }
  if (WaitForSingleObject(pi.hProcess, 0) != WAIT_TIMEOUT)
    return Fail(input ? "input in the preview ended it" : "saver ended early", &pi);
  DestroyWindow(owner);
  for (int i = 0; i < 500 && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; ++i) Pump(20);
  DWORD code = 12345;
  GetExitCodeProcess(pi.hProcess, &code);
  printf("saver exit code %lu\n", code);
  if (code == STILL_ACTIVE) return Fail("the saver outlived its host", &pi);
  if (code != 0) return Fail("the saver's exit code is not 0", NULL);
  printf("OK\n");
  return 0;
}

int main(int argc, char** argv) {
  if (argc != 5) {
    printf("usage: win_host owner|centre|preview|input X Y SCR\n");
    return 2;
  }
  HINSTANCE instance = GetModuleHandleA(NULL);
  int x = atoi(argv[2]), y = atoi(argv[3]);
  HWND owner = CreateWindowExA(0, "STATIC", "Glimmora test host", WS_POPUP | WS_BORDER | WS_VISIBLE, x, y, 300, 200,
                               NULL, NULL, instance, NULL);
  HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 20, 30, 152, 112, owner, NULL, instance, NULL);
  if (!owner || !child) return Fail("cannot create the host windows", NULL);
  Pump(200);
  if (strcmp(argv[1], "preview") == 0 || strcmp(argv[1], "input") == 0)
    return CheckPreview(owner, child, argv[4], strcmp(argv[1], "input") == 0);
  return CheckDialog(owner, child, argv[4], strcmp(argv[1], "centre") == 0);
}
