#include "platform/engine.h"

namespace {
// The scan timer only starts the walk, so it fires at once; the slide timer
// polls quickly until the first picture is there, then takes the interval.
constexpr std::uint32_t kScanTimerInterval = 1;
constexpr std::uint32_t kSlideTimerStartInterval = 50;
}  // namespace

Engine::Engine(EventLoop& loop, EngineWindowFactory create_window)
    : loop_(loop), create_window_(std::move(create_window)) {}

Engine::~Engine() = default;

void Engine::Load() {
  if (loaded_) return;
  loaded_ = true;
  window_ = create_window_();
  // Through the members, so handlers set later still apply.
  scan_timer_ = loop_.CreateTimer(kScanTimerInterval, [this] {
    if (handlers_.scan_tick) handlers_.scan_tick();
  });
  slide_timer_ = loop_.CreateTimer(kSlideTimerStartInterval, [this] {
    if (handlers_.slide_tick) handlers_.slide_tick();
  });
  if (window_ && handlers_.loaded) handlers_.loaded(*window_);
}

void Engine::Unload() {
  if (!loaded_) return;
  if (window_ && handlers_.unloading) handlers_.unloading(*window_);
  loaded_ = false;
  // Destroying a timer from inside its own handler is allowed by every loop.
  scan_timer_.reset();
  slide_timer_.reset();
  window_.reset();
}
