#pragma once
// Virtual-time event loop: timers fire only when the test advances the clock,
// in due order; ProcessPendingEvents() counts and runs a test hook (to model input that
// arrives while long work yields).
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/event_loop.h"

class FakeEventLoop final : public EventLoop {
 public:
  std::unique_ptr<Timer> CreateTimer(std::uint32_t interval_ms, std::function<void()> handler) override;
  void ProcessPendingEvents() override {
    ++yields;
    if (std::function<void()> hook = on_yield) hook();  // a copy: the hook may clear itself
  }
  // Fires timers in due order until Quit() or until no timer is left.
  int Run() override {
    for (quit = false; !quit && FireNext();) {
    }
    return exit_code;
  }
  void Quit(int code) override {
    quit = true;
    exit_code = code;
  }
  // Moves the clock forward, firing every timer that falls due on the way.
  void Advance(std::uint64_t milliseconds);
  // Fires the next timer due by `limit` (moving the clock to it); false when there is none.
  bool FireNext(std::uint64_t limit = UINT64_MAX);

  std::function<void()> on_yield;
  std::uint64_t now = 0;
  int yields = 0;
  bool quit = false;
  int exit_code = 0;
  struct Core;
  std::vector<std::shared_ptr<Core>> timers;
};
