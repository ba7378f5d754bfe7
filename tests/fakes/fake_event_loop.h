#pragma once
// Virtual-time event loop: timers fire only when the test advances the clock,
// in due order; ProcessPendingEvents() runs the posted tasks, counts, and runs
// a test hook (to model input that arrives while long work yields). Posted
// tasks also run before each timer fires.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/event_loop.h"

class FakeEventLoop final : public EventLoop {
 public:
  std::unique_ptr<Timer> CreateTimer(std::uint32_t interval_ms, std::function<void()> handler) override;
  void ProcessPendingEvents() override {
    ++yields;
    RunPosted();
    if (std::function<void()> hook = on_yield) hook();  // a copy: the hook may clear itself
  }
  void Post(std::function<void()> task) override {
    std::lock_guard<std::mutex> lock(posted_mutex);
    posted.push_back(std::move(task));
  }
  // Runs the tasks posted so far, and those they post in turn (at most
  // `limit` of them, so a run that never ends fails instead of hanging); true
  // when any ran.
  bool RunPosted(std::size_t limit = 1000000);
  // Fires timers in due order until Quit() or until no timer is left.
  int Run() override {
    for (quit = false; !quit;) {
      RunPosted();
      if (quit || !FireNext()) break;
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
  std::mutex posted_mutex;
  std::deque<std::function<void()>> posted;
  std::uint64_t now = 0;
  int yields = 0;
  bool quit = false;
  int exit_code = 0;
  struct Core;
  std::vector<std::shared_ptr<Core>> timers;
};
