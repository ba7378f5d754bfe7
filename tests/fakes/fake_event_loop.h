#pragma once
// Virtual-time event loop: timers fire only when the test advances the clock,
// in due order; DoEvents() counts and runs a test hook (to model input that
// arrives while long work yields).
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/event_loop.h"

class FakeEventLoop final : public EventLoop {
 public:
  std::unique_ptr<Timer> CreateTimer(std::uint32_t interval_ms, std::function<void()> handler) override;
  void DoEvents() override;
  // Fires timers in due order until Quit() or until no timer is left.
  int Run() override;
  void Quit(int code) override {
    quit = true;
    exit_code = code;
  }

  // Moves the clock forward, firing every timer that falls due on the way.
  void Advance(std::uint64_t milliseconds);
  // Fires the next due timer (moving the clock to it); false when none is enabled.
  bool FireNext();
  // Runs the hook for the next yields (the hook may clear itself).
  std::function<void()> on_yield;

  std::uint64_t now = 0;
  int yields = 0;
  bool quit = false;
  int exit_code = 0;

  struct Core {
    std::function<void()> handler;
    std::uint32_t interval = 0;
    bool enabled = false;
    std::uint64_t due = 0;
    bool alive = true;
    int fired = 0;
  };
  std::vector<std::shared_ptr<Core>> timers;
};
