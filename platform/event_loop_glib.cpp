// GLib backend of the event loop port (Linux).
// ProcessPendingEvents handles what is pending once: timers that come due while it runs
// wait for the next turn, so a yield never starts a long tick of its own.
#include <glib.h>

#include <algorithm>

#include "platform/event_loop.h"

namespace {

// While ProcessPendingEvents runs: the moment it began (monotonic microseconds), else
// "never". A timer that comes due after that moment is not pending for that
// ProcessPendingEvents. Without this, work that keeps the loop busy for a millisecond
// (the first paint of a window) lets a 1 ms timer enabled just before the
// yield run inside it: the scan timer would then walk the whole catalogue
// before start-up even enables the slide timer. Only ProcessPendingEvents' own turns are
// limited: a modal loop that a handler runs from inside it is not.
struct Horizon {
  gint64 limit = G_MAXINT64;
  int depth = 0;  // g_main_depth() of ProcessPendingEvents' own turns

  gint64 LimitNow(gint64 now) const { return g_main_depth() == depth ? std::min(now, limit) : now; }
};

struct TimerCore {
  std::function<void()> handler;
  std::uint32_t interval = 0;
  bool enabled = false;
  GSource* source = nullptr;  // the live source, null when none
};

// A timer's GSource: due at a moment of its own, ready once that moment has
// passed and lies before the horizon.
struct TimerSource {
  GSource base;
  gint64 due;
  std::shared_ptr<TimerCore>* core;  // survives the timer object
  std::shared_ptr<Horizon>* horizon;
};

gboolean TimerPrepare(GSource* source, gint* timeout) {
  auto* self = reinterpret_cast<TimerSource*>(source);
  const gint64 now = g_source_get_time(source);
  if (self->due <= (*self->horizon)->LimitNow(now)) {
    *timeout = 0;
    return TRUE;
  }
  // Held back by the horizon: ProcessPendingEvents never blocks, so no wake-up is needed.
  *timeout = self->due <= now ? -1 : static_cast<gint>((self->due - now + 999) / 1000);
  return FALSE;
}

gboolean TimerCheck(GSource* source) {
  auto* self = reinterpret_cast<TimerSource*>(source);
  return self->due <= (*self->horizon)->LimitNow(g_source_get_time(source));
}

gboolean TimerDispatch(GSource* source, GSourceFunc, gpointer) {
  auto* self = reinterpret_cast<TimerSource*>(source);
  std::shared_ptr<TimerCore> core = *self->core;
  // The next interval counts from this dispatch, as with g_timeout sources.
  self->due = g_source_get_time(source) + static_cast<gint64>(core->interval) * 1000;
  std::function<void()> handler = core->handler;  // survives the timer's destruction
  handler();
  return G_SOURCE_CONTINUE;  // a source stopped by the handler is already destroyed
}

void TimerFinalize(GSource* source) {
  auto* self = reinterpret_cast<TimerSource*>(source);
  delete self->core;
  delete self->horizon;
}

GSourceFuncs kTimerFuncs = {TimerPrepare, TimerCheck, TimerDispatch, TimerFinalize, nullptr, nullptr};

class GlibTimer final : public Timer {
 public:
  GlibTimer(std::uint32_t interval, std::function<void()> handler, std::shared_ptr<Horizon> horizon)
      : core_(std::make_shared<TimerCore>()), horizon_(std::move(horizon)) {
    core_->interval = interval;
    core_->handler = std::move(handler);
  }
  ~GlibTimer() override { Stop(); }

  void SetEnabled(bool enabled) override {
    if (enabled == core_->enabled) return;
    core_->enabled = enabled;
    if (enabled)
      Start();
    else
      Stop();
  }
  bool Enabled() const override { return core_->enabled; }

  void SetInterval(std::uint32_t milliseconds) override {
    core_->interval = milliseconds;
    if (core_->enabled) {
      Stop();
      Start();
    }
  }
  std::uint32_t Interval() const override { return core_->interval; }

 private:
  void Start() {
    if (core_->interval == 0) return;  // an interval of 0 never fires
    GSource* source = g_source_new(&kTimerFuncs, sizeof(TimerSource));
    auto* self = reinterpret_cast<TimerSource*>(source);
    self->due = g_get_monotonic_time() + static_cast<gint64>(core_->interval) * 1000;
    self->core = new std::shared_ptr<TimerCore>(core_);
    self->horizon = new std::shared_ptr<Horizon>(horizon_);
    g_source_set_priority(source, G_PRIORITY_DEFAULT);
    g_source_attach(source, nullptr);
    core_->source = source;
  }

  // Destroying the source that is being dispatched is allowed: GLib holds
  // its own reference until the dispatch returns.
  void Stop() {
    GSource* source = core_->source;
    core_->source = nullptr;
    if (!source) return;
    g_source_destroy(source);
    g_source_unref(source);
  }

  std::shared_ptr<TimerCore> core_;
  std::shared_ptr<Horizon> horizon_;
};

class GlibEventLoop final : public EventLoop {
 public:
  GlibEventLoop() : loop_(g_main_loop_new(nullptr, FALSE)) {}
  ~GlibEventLoop() override { g_main_loop_unref(loop_); }

  std::unique_ptr<Timer> CreateTimer(std::uint32_t interval_ms, std::function<void()> handler) override {
    return std::make_unique<GlibTimer>(interval_ms, std::move(handler), horizon_);
  }

  void ProcessPendingEvents() override {
    // A nested ProcessPendingEvents (inside a handler that another ProcessPendingEvents runs) takes
    // its own moment and gives the outer one its moment back.
    const Horizon outer = *horizon_;
    horizon_->limit = g_get_monotonic_time();
    horizon_->depth = g_main_depth();
    // Bounded, so a source that is always ready cannot keep us here.
    for (int i = 0; i < 1000 && g_main_context_iteration(nullptr, FALSE); ++i) {
    }
    *horizon_ = outer;
  }

  // An idle source of the default context: thread-safe to add, dispatched
  // in the order added.
  void Post(std::function<void()> task) override {
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer data) -> gboolean {
          (*static_cast<std::function<void()>*>(data))();
          return G_SOURCE_REMOVE;
        },
        new std::function<void()>(std::move(task)),
        [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
  }

  int Run() override {
    g_main_loop_run(loop_);
    return exit_code_;
  }

  void Quit(int exit_code) override {
    exit_code_ = exit_code;
    g_main_loop_quit(loop_);
  }

 private:
  GMainLoop* loop_;
  int exit_code_ = 0;
  std::shared_ptr<Horizon> horizon_ = std::make_shared<Horizon>();
};

}  // namespace

std::unique_ptr<EventLoop> CreatePlatformEventLoop() { return std::make_unique<GlibEventLoop>(); }
