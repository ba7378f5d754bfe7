// Win32 backend of the system port.
// Implemented: [x] GetTickCount, local time, MessageBoxA, ShowCursor,
//              [x] SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING), ExitProcess
#include <windows.h>

#include "platform/system.h"

namespace {

class Win32System final : public SystemPort {
 public:
  std::int32_t TickCount() override { return static_cast<std::int32_t>(GetTickCount()); }

  double SecondsSinceMidnight() override {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond + t.wMilliseconds / 1000.0;
  }

  void MsgBox(const std::string& text, const std::string& title, int style) override {
    MessageBoxA(nullptr, text.c_str(), title.empty() ? nullptr : title.c_str(), static_cast<UINT>(style));
  }

  void ShowCursor(bool show) override { ::ShowCursor(show ? TRUE : FALSE); }

  void SetScreenSaverRunning(bool running) override {
    UINT scratch = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running ? 1 : 0, &scratch, 0);
  }

  [[noreturn]] void EndProcess(int exit_code) override { ExitProcess(static_cast<UINT>(exit_code)); }
};

}  // namespace

std::unique_ptr<SystemPort> CreatePlatformSystem() { return std::make_unique<Win32System>(); }
