#pragma once
// The engine: the scan timer, the slide timer and the hidden window that
// hears the system's monitor-power commands. It is loaded while a show runs
// (the saver, the system preview, the options dialog's preview) and unloaded
// when the show stops; unloading stops both timers for good, even from
// inside one of their own ticks. The composition root gives it its handlers.
#include <functional>
#include <memory>

#include "platform/engine_window.h"
#include "platform/event_loop.h"

using EngineWindowFactory = std::function<std::unique_ptr<EngineWindow>()>;

class Engine {
 public:
  struct Handlers {
    std::function<void()> scan_tick;
    std::function<void()> slide_tick;
    // Right after Load has made the window, and just before Unload destroys it.
    std::function<void(EngineWindow&)> loaded;
    std::function<void(EngineWindow&)> unloading;
  };

  Engine(EventLoop& loop, EngineWindowFactory create_window);
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  void SetHandlers(Handlers handlers) { handlers_ = std::move(handlers); }

  // Creates the window and both timers (disabled; scan 1 ms, slide 50 ms)
  // unless loaded already.
  void Load();
  void Unload();
  bool IsLoaded() const { return loaded_; }

  // Only while loaded.
  Timer& ScanTimer() { return *scan_timer_; }
  Timer& SlideTimer() { return *slide_timer_; }
  // Loaded and the slide timer enabled: a show is running.
  bool SlideTimerRunning() const { return loaded_ && slide_timer_->Enabled(); }

 private:
  EventLoop& loop_;
  EngineWindowFactory create_window_;
  Handlers handlers_;
  bool loaded_ = false;
  std::unique_ptr<EngineWindow> window_;
  std::unique_ptr<Timer> scan_timer_;
  std::unique_ptr<Timer> slide_timer_;
};
