// GLib backend of the event loop port (Linux).
// Implemented: [x] timers with enable/interval, restarting on enable
//              [x] destroying or disabling a timer from inside its own handler
//              [x] DoEvents (pending events once), Run/Quit
#include <glib.h>

#include "platform/event_loop.h"

namespace {

// State shared between a timer object and its GLib source, so a handler that
// destroys its own timer does not pull the ground from under the dispatch.
struct TimerCore {
  std::function<void()> handler;
  std::uint32_t interval = 0;
  bool enabled = false;
  guint source = 0;       // the live GLib source, 0 when none
  guint dispatching = 0;  // the source whose callback runs now
};

class GlibTimer final : public Timer {
 public:
  GlibTimer(std::uint32_t interval, std::function<void()> handler) : core_(std::make_shared<TimerCore>()) {
    core_->interval = interval;
    core_->handler = std::move(handler);
  }
  ~GlibTimer() override { Stop(); }

  void SetEnabled(bool enabled) override {
    if (enabled == core_->enabled) return;
    core_->enabled = enabled;
    if (enabled) Start(); else Stop();
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
    auto* ref = new std::shared_ptr<TimerCore>(core_);
    core_->source = g_timeout_add_full(G_PRIORITY_DEFAULT, core_->interval, &GlibTimer::OnTimeout, ref,
                                       [](gpointer data) { delete static_cast<std::shared_ptr<TimerCore>*>(data); });
  }

  void Stop() {
    guint source = core_->source;
    core_->source = 0;
    // The source being dispatched ends itself by returning G_SOURCE_REMOVE.
    if (source != 0 && source != core_->dispatching) g_source_remove(source);
  }

  static gboolean OnTimeout(gpointer data) {
    std::shared_ptr<TimerCore> core = *static_cast<std::shared_ptr<TimerCore>*>(data);
    guint self = g_source_get_id(g_main_current_source());
    if (core->source != self) return G_SOURCE_REMOVE;
    guint outer = core->dispatching;
    core->dispatching = self;
    std::function<void()> handler = core->handler;  // survives the timer's destruction
    handler();
    core->dispatching = outer;
    if (core->source == self && core->enabled) return G_SOURCE_CONTINUE;
    if (core->source == self) core->source = 0;
    return G_SOURCE_REMOVE;
  }

  std::shared_ptr<TimerCore> core_;
};

class GlibEventLoop final : public EventLoop {
 public:
  GlibEventLoop() : loop_(g_main_loop_new(nullptr, FALSE)) {}
  ~GlibEventLoop() override { g_main_loop_unref(loop_); }

  std::unique_ptr<Timer> CreateTimer(std::uint32_t interval_ms, std::function<void()> handler) override {
    return std::make_unique<GlibTimer>(interval_ms, std::move(handler));
  }

  void DoEvents() override {
    // Bounded, so a source that is always ready cannot keep us here.
    for (int i = 0; i < 1000 && g_main_context_iteration(nullptr, FALSE); ++i) {
    }
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
};

}  // namespace

std::unique_ptr<EventLoop> CreatePlatformEventLoop() { return std::make_unique<GlibEventLoop>(); }
