#pragma once
// Event loop port: timers with enable/interval and a cooperative yield, all on
// the one user-interface thread, and the way back to that thread for work
// done elsewhere. Implemented by event_loop_win.cpp (SetTimer + PeekMessage),
// event_loop_glib.cpp (GLib main loop) and a virtual-time fake in tests/fakes.
#include <cstdint>
#include <functional>
#include <memory>

// A form timer: disabled until enabled; enabling it, or changing its interval
// while enabled, starts a fresh interval. The handler runs on the UI thread,
// possibly nested inside a ProcessPendingEvents() of other code.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetInterval(std::uint32_t milliseconds) = 0;
  virtual std::uint32_t Interval() const = 0;
};

class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // The timer starts disabled. Destroying it stops it for good.
  virtual std::unique_ptr<Timer> CreateTimer(std::uint32_t interval_ms, std::function<void()> handler) = 0;
  // Processes the events that are pending now (input, paint, due timers) and returns.
  virtual void ProcessPendingEvents() = 0;
  // Runs `task` on the UI thread at a coming turn of the loop; tasks run in
  // the order they were posted. The one member any thread may call: workers
  // hand their results back with it.
  virtual void Post(std::function<void()> task) = 0;
  // Runs until Quit() is called; returns the exit code given to Quit().
  virtual int Run() = 0;
  virtual void Quit(int exit_code) = 0;
};

std::unique_ptr<EventLoop> CreatePlatformEventLoop();
