#include "fakes/fake_event_loop.h"

struct FakeEventLoop::Core {
  std::function<void()> handler;
  std::uint32_t interval = 0;
  bool enabled = false;
  std::uint64_t due = 0;
};

namespace {

class FakeTimer final : public Timer {
 public:
  FakeTimer(FakeEventLoop& loop, std::shared_ptr<FakeEventLoop::Core> core) : loop_(loop), core_(std::move(core)) {}
  ~FakeTimer() override { core_->enabled = false; }
  void SetEnabled(bool enabled) override {
    if (enabled && !core_->enabled) core_->due = loop_.now + core_->interval;
    core_->enabled = enabled;
  }
  bool Enabled() const override { return core_->enabled; }
  void SetInterval(std::uint32_t ms) override {
    core_->interval = ms;
    if (core_->enabled) core_->due = loop_.now + ms;
  }
  std::uint32_t Interval() const override { return core_->interval; }

 private:
  FakeEventLoop& loop_;
  std::shared_ptr<FakeEventLoop::Core> core_;
};

}  // namespace

std::unique_ptr<Timer> FakeEventLoop::CreateTimer(std::uint32_t interval_ms, std::function<void()> handler) {
  timers.push_back(std::make_shared<Core>(Core{std::move(handler), interval_ms, false, 0}));
  return std::make_unique<FakeTimer>(*this, timers.back());
}

bool FakeEventLoop::RunPosted(std::size_t limit) {
  bool ran = false;
  for (std::size_t n = 0; n < limit; ++n) {
    std::function<void()> task;
    {
      std::lock_guard<std::mutex> lock(posted_mutex);
      if (posted.empty()) return ran;
      task = std::move(posted.front());
      posted.pop_front();
    }
    task();
    ran = true;
  }
  return ran;
}

bool FakeEventLoop::FireNext(std::uint64_t limit) {
  RunPosted();
  std::shared_ptr<Core> next;
  for (const auto& t : timers)
    if (t->enabled && t->interval > 0 && t->due <= limit && (!next || t->due < next->due)) next = t;
  if (!next) return false;
  if (next->due > now) now = next->due;
  next->due = now + next->interval;
  std::function<void()> handler = next->handler;  // survives the timer's destruction
  handler();
  return true;
}

void FakeEventLoop::Advance(std::uint64_t milliseconds) {
  std::uint64_t end = now + milliseconds;
  while (FireNext(end)) {
  }
  now = end;
}
