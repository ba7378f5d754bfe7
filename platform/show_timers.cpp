#include "platform/show_timers.h"

namespace {
// The scan timer only starts the walk, so it fires at once; the slide timer
// polls quickly until the first picture is there, then takes the interval.
constexpr std::uint32_t kScanTimerInterval = 1;
constexpr std::uint32_t kSlideTimerStartInterval = 50;
}  // namespace

ShowTimers::ShowTimers(EventLoop& loop, HiddenWindowFactory create_window)
    : loop_(loop), create_window_(std::move(create_window)) {}

ShowTimers::~ShowTimers() = default;

void ShowTimers::Start() {
  if (running_) return;
  running_ = true;
  window_ = create_window_();
  // Through the members, so handlers set later still apply.
  scan_timer_ = loop_.CreateTimer(kScanTimerInterval, [this] {
    if (handlers_.scan_tick) handlers_.scan_tick();
  });
  slide_timer_ = loop_.CreateTimer(kSlideTimerStartInterval, [this] {
    if (handlers_.slide_tick) handlers_.slide_tick();
  });
  if (window_ && handlers_.started) handlers_.started(*window_);
}

void ShowTimers::Stop() {
  if (!running_) return;
  if (window_ && handlers_.stopping) handlers_.stopping(*window_);
  running_ = false;
  // Destroying a timer from inside its own handler is allowed by every loop.
  scan_timer_.reset();
  slide_timer_.reset();
  window_.reset();
}
