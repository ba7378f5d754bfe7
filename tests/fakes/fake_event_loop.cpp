#include "fakes/fake_event_loop.h"

#include <algorithm>

namespace {

class FakeTimer final : public Timer {
 public:
  FakeTimer(FakeEventLoop& loop, std::shared_ptr<FakeEventLoop::Core> core) : loop_(loop), core_(std::move(core)) {}
  ~FakeTimer() override {
    core_->alive = false;
    core_->enabled = false;
  }
  void SetEnabled(bool enabled) override {
    if (enabled == core_->enabled) return;
    core_->enabled = enabled;
    if (enabled) core_->due = loop_.now + core_->interval;
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
  auto core = std::make_shared<Core>();
  core->interval = interval_ms;
  core->handler = std::move(handler);
  timers.push_back(core);
  return std::make_unique<FakeTimer>(*this, core);
}

void FakeEventLoop::DoEvents() {
  ++yields;
  if (on_yield) {
    std::function<void()> hook = on_yield;
    hook();
  }
}

namespace {

std::shared_ptr<FakeEventLoop::Core> NextDue(const std::vector<std::shared_ptr<FakeEventLoop::Core>>& timers,
                                              std::uint64_t limit) {
  std::shared_ptr<FakeEventLoop::Core> next;
  for (const auto& t : timers)
    if (t->alive && t->enabled && t->interval > 0 && t->due <= limit && (!next || t->due < next->due)) next = t;
  return next;
}

void Fire(FakeEventLoop& loop, const std::shared_ptr<FakeEventLoop::Core>& timer) {
  loop.now = std::max(loop.now, timer->due);
  timer->due = loop.now + timer->interval;
  ++timer->fired;
  std::function<void()> handler = timer->handler;  // survives the timer's destruction
  handler();
}

}  // namespace

void FakeEventLoop::Advance(std::uint64_t milliseconds) {
  std::uint64_t end = now + milliseconds;
  while (auto next = NextDue(timers, end)) Fire(*this, next);
  now = end;
}

bool FakeEventLoop::FireNext() {
  auto next = NextDue(timers, UINT64_MAX);
  if (!next) return false;
  Fire(*this, next);
  return true;
}

int FakeEventLoop::Run() {
  quit = false;
  while (!quit && FireNext()) {
  }
  return exit_code;
}
