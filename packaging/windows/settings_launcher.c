// "Glimmora Settings": opens the saver's options dialog (glimmora.scr /C).
// The Start-menu shortcut needs this program because Windows opens a .scr
// through its file association, which runs it with /S and drops the
// shortcut's own arguments: a shortcut straight to the saver would start
// the show instead of the dialog.
#include <windows.h>
#include <wchar.h>

enum { kPathCapacity = 32768 };

// The saver beside this program (a per-user install), else the one in the
// system folder (a machine-wide install).
static BOOL FindSaver(wchar_t* saver) {
  DWORD length = GetModuleFileNameW(NULL, saver, kPathCapacity);
  if (length > 0 && length < kPathCapacity) {
    wchar_t* slash = wcsrchr(saver, L'\\');
    if (slash && (size_t)(slash + 1 - saver) + 13 <= kPathCapacity) {
      wcscpy(slash + 1, L"glimmora.scr");
      if (GetFileAttributesW(saver) != INVALID_FILE_ATTRIBUTES) return TRUE;
    }
  }
  length = GetSystemDirectoryW(saver, kPathCapacity);
  if (length == 0 || length + 14 > kPathCapacity) return FALSE;
  wcscat(saver, L"\\glimmora.scr");
  return GetFileAttributesW(saver) != INVALID_FILE_ATTRIBUTES;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int show) {
  (void)instance;
  (void)previous;
  (void)arguments;
  (void)show;
  static wchar_t saver[kPathCapacity];
  static wchar_t command_line[kPathCapacity + 8];
  if (!FindSaver(saver)) {
    MessageBoxW(NULL, L"Glimmora is not installed: glimmora.scr was not found.", L"Glimmora Settings",
                MB_OK | MB_ICONERROR);
    return 1;
  }
  swprintf(command_line, kPathCapacity + 8, L"\"%ls\" /C", saver);
  STARTUPINFOW startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessW(saver, command_line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
    MessageBoxW(NULL, L"Glimmora Settings could not start glimmora.scr.", L"Glimmora Settings",
                MB_OK | MB_ICONERROR);
    return 1;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}
