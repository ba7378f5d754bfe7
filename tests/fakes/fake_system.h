#pragma once
// Scripted system: a settable clock, recorded message boxes and cursor and
// screen-saver calls, and an EndProcess that throws ProcessEnded so a test
// can see the end without its process ending.
#include <functional>
#include <string>
#include <vector>

#include "platform/system.h"

struct ProcessEnded { int exit_code; };

class FakeSystem final : public SystemPort {
 public:
  std::int32_t TickCount() override { return tick; }
  double SecondsSinceMidnight() override { return seconds; }
  void ShowMessage(const std::string& text, const std::string& title, MessageBoxStyle style) override {
    boxes.push_back({text, title, style});
    Record("MessageBox");
  }
  void ShowCursor(bool show) override { Record(show ? "ShowCursor(1)" : "ShowCursor(0)"); }
  void SetScreenSaverRunning(bool on) override { Record(on ? "ScreenSaverRunning(1)" : "ScreenSaverRunning(0)"); }
  [[noreturn]] void EndProcess(int exit_code) override {
    Record("EndProcess");
    throw ProcessEnded{exit_code};
  }
  void Record(const std::string& call) {
    calls.push_back(call);
    if (on_call) on_call(call);
  }

  struct Box { std::string text, title; MessageBoxStyle style; };
  std::function<void(const std::string&)> on_call;  // sees each call as it is made
  std::int32_t tick = 0;
  double seconds = 0;
  std::vector<Box> boxes;
  std::vector<std::string> calls;
};
