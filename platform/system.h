#pragma once
// System port: the clock, message boxes, the cursor, the "screen saver is
// running" flag and the end of the process. Implemented by system_win.cpp and
// system_gtk.cpp; tests use FakeSystem (tests/fakes). UI thread only.
#include <cstdint>
#include <memory>
#include <string>

// The icon of a message box (it has an OK button only).
enum class MessageBoxStyle { Critical, Exclamation };

class SystemPort {
 public:
  virtual ~SystemPort() = default;
  // Milliseconds since the system started (GetTickCount), as a signed 32-bit number.
  virtual std::int32_t TickCount() = 0;
  // Seconds since local midnight, with fractions (the time of day).
  virtual double SecondsSinceMidnight() = 0;
  // A modal message box with an OK button. An empty title means the platform's
  // default title for the application.
  virtual void ShowMessage(const std::string& text, const std::string& title, MessageBoxStyle style) = 0;
  // ShowCursor(TRUE/FALSE): a display counter on Windows, hide/show on Linux.
  virtual void ShowCursor(bool show) = 0;
  // SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING = 97, running, &scratch, 0).
  virtual void SetScreenSaverRunning(bool running) = 0;
  // Ends the process at once: no handler runs after this.
  [[noreturn]] virtual void EndProcess(int exit_code) = 0;
};

std::unique_ptr<SystemPort> CreatePlatformSystem();
