// Win32 backend of the system port.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/system.h"

namespace {

// The application's default message-box title: its file name without folder
// and extension ("glimmora" for glimmora.scr), as the GTK build shows its
// program name.
std::string ApplicationName() {
  char path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name(path, length < MAX_PATH ? length : 0);
  std::size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name.empty() ? "Glimmora" : name;
}

class Win32System final : public SystemPort {
 public:
  std::int32_t TickCount() override { return static_cast<std::int32_t>(GetTickCount()); }

  double SecondsSinceMidnight() override {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond + t.wMilliseconds / 1000.0;
  }

  void ShowMessage(const std::string& text, const std::string& title, MessageBoxStyle style) override {
    std::string shown = title.empty() ? ApplicationName() : title;
    MessageBoxA(nullptr, text.c_str(), shown.c_str(),
                style == MessageBoxStyle::Critical ? MB_ICONHAND : MB_ICONEXCLAMATION);
  }

  void ShowCursor(bool show) override { ::ShowCursor(show ? TRUE : FALSE); }

  void SetScreenSaverRunning(bool running) override {
    UINT scratch = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running ? 1 : 0, &scratch, 0);
  }

  // TerminateProcess, not ExitProcess: ExitProcess takes the loader lock and
  // runs every library's detach code, which may wait for what a worker
  // thread stuck in a read on a dead share holds. What must happen before
  // the end happens before this call (the dialog's registry writes are the
  // registry's once RegSetValueEx returns); only the C library's buffers are
  // left to flush.
  [[noreturn]] void EndProcess(int exit_code) override {
    std::fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exit_code));
    ExitProcess(static_cast<UINT>(exit_code));  // only if the termination failed
  }
};

}  // namespace

std::unique_ptr<SystemPort> CreatePlatformSystem() { return std::make_unique<Win32System>(); }
