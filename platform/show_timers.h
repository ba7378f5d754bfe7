#pragma once
// The show's timers: the scan timer, the slide timer, and the hidden window
// that hears the system's monitor-power commands. They run while a show runs
// (the saver, the system preview, the options dialog's preview) and stop
// when the show stops; stopping ends both timers for good, even from inside
// one of their own ticks. The composition root gives them their handlers.
#include <functional>
#include <memory>

#include "platform/event_loop.h"
#include "platform/hidden_window.h"

using HiddenWindowFactory = std::function<std::unique_ptr<HiddenWindow>()>;

class ShowTimers {
 public:
  struct Handlers {
    std::function<void()> scan_tick;
    std::function<void()> slide_tick;
    // Right after Start has made the window, and just before Stop destroys it.
    std::function<void(HiddenWindow&)> started;
    std::function<void(HiddenWindow&)> stopping;
  };

  ShowTimers(EventLoop& loop, HiddenWindowFactory create_window);
  ~ShowTimers();
  ShowTimers(const ShowTimers&) = delete;
  ShowTimers& operator=(const ShowTimers&) = delete;

  void SetHandlers(Handlers handlers) { handlers_ = std::move(handlers); }

  // Creates the window and both timers (disabled; scan 1 ms, slide 50 ms)
  // unless they run already.
  void Start();
  void Stop();
  bool IsRunning() const { return running_; }

  // Only while running.
  Timer& ScanTimer() { return *scan_timer_; }
  Timer& SlideTimer() { return *slide_timer_; }
  // Running and the slide timer enabled: a show is on.
  bool SlideTimerRunning() const { return running_ && slide_timer_->Enabled(); }

 private:
  EventLoop& loop_;
  HiddenWindowFactory create_window_;
  Handlers handlers_;
  bool running_ = false;
  std::unique_ptr<HiddenWindow> window_;
  std::unique_ptr<Timer> scan_timer_;
  std::unique_ptr<Timer> slide_timer_;
};
