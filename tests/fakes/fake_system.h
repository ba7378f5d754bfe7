#pragma once
// Scripted system: a settable clock, recorded message boxes and cursor and
// screen-saver calls, and an EndProcess that throws ProcessEnded so a test
// can see the end without its process ending.
#include <string>
#include <vector>

#include "platform/system.h"

struct ProcessEnded {
  int exit_code;
};

class FakeSystem final : public SystemPort {
 public:
  std::int32_t TickCount() override { return tick; }
  double SecondsSinceMidnight() override { return seconds; }
  void MsgBox(const std::string& text, const std::string& title, int style) override {
    boxes.push_back({text, title, style});
    calls.push_back("MessageBox");
  }
  void ShowCursor(bool show) override { calls.push_back(show ? "ShowCursor(1)" : "ShowCursor(0)"); }
  void SetScreenSaverRunning(bool running) override {
    calls.push_back(running ? "ScreenSaverRunning(1)" : "ScreenSaverRunning(0)");
  }
  [[noreturn]] void EndProcess(int exit_code) override {
    calls.push_back("EndProcess");
    throw ProcessEnded{exit_code};
  }

  struct Box {
    std::string text, title;
    int style;
  };
  std::int32_t tick = 0;
  double seconds = 0;
  std::vector<Box> boxes;
  std::vector<std::string> calls;
};
