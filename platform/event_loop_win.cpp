// Win32 backend of the event loop port.
// Timers live on a hidden message window (SetTimer/KillTimer). ProcessPendingEvents
// peeks over the queue once: timers that come due while it runs wait for the
// next turn, so a yield never starts a long tick of its own.
#include "platform/event_loop_win.h"

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "platform/event_loop.h"

namespace {

HWND g_modeless_dialog = nullptr;  // one per process, like the message queue

// Tells the loop's window that posted tasks wait.
constexpr UINT kPostedTasks = WM_APP + 1;

struct TimerCore {
  std::function<void()> handler;
  std::uint32_t interval = 0;
  bool enabled = false;
  UINT_PTR id = 0;
  DWORD due = 0;           // tick count of the next event
  bool shortened = false;  // re-armed at the minimum period after being held back
};

// Tick counts compared across their wrap-around.
bool After(DWORD a, DWORD b) { return static_cast<LONG>(a - b) > 0; }

// When a timer armed now comes due: the system runs none faster than its minimum.
DWORD DueFromNow(std::uint32_t interval) { return GetTickCount() + std::max<DWORD>(interval, USER_TIMER_MINIMUM); }

class Win32EventLoop;

class Win32Timer final : public Timer {
 public:
  Win32Timer(Win32EventLoop& loop, std::shared_ptr<TimerCore> core) : loop_(loop), core_(std::move(core)) {}
  ~Win32Timer() override;
  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return core_->enabled; }
  void SetInterval(std::uint32_t milliseconds) override;
  std::uint32_t Interval() const override { return core_->interval; }

 private:
  Win32EventLoop& loop_;
  std::shared_ptr<TimerCore> core_;
};

class Win32EventLoop final : public EventLoop {
 public:
  Win32EventLoop() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &Win32EventLoop::WndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "GlimmoraTimerWindow";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Win32EventLoop() override { DestroyWindow(window_); }

  std::unique_ptr<Timer> CreateTimer(std::uint32_t interval_ms, std::function<void()> handler) override {
    auto core = std::make_shared<TimerCore>();
    core->interval = interval_ms;
    core->handler = std::move(handler);
    core->id = next_id_++;
    timers_[core->id] = core;
    return std::make_unique<Win32Timer>(*this, core);
  }

  // A timer that comes due after ProcessPendingEvents began is not pending for it: work
  // that keeps the queue busy (the first paint of a window) would otherwise
  // let the scan timer, enabled just before start-up's yield, walk the whole
  // catalogue before the slide timer is even enabled. Only this loop's own
  // messages are held back: a modal loop run from inside it is not limited.
  void ProcessPendingEvents() override {
    const DWORD horizon = GetTickCount();
    MSG msg;
    // Bounded, so a flood of messages cannot keep us here.
    for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      if (msg.message == WM_TIMER && msg.hwnd == window_ && HeldBack(static_cast<UINT_PTR>(msg.wParam), horizon))
        continue;
      Dispatch(msg);
    }
  }

  int Run() override {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
    return static_cast<int>(msg.wParam);
  }

  void Quit(int exit_code) override { PostQuitMessage(exit_code); }

  // The tasks wait in a queue of their own; one message per task wakes the
  // loop, and each message runs whatever is queued, so a message the system
  // drops (a full queue) only delays its task to the next one.
  void Post(std::function<void()> task) override {
    {
      std::lock_guard<std::mutex> lock(posted_mutex_);
      posted_.push_back(std::move(task));
    }
    PostMessageA(window_, kPostedTasks, 0, 0);
  }

  void Arm(TimerCore& core) {
    if (core.interval == 0) return;
    SetTimer(window_, core.id, core.interval, nullptr);
    core.due = DueFromNow(core.interval);
    core.shortened = false;
  }
  void Disarm(TimerCore& core) { KillTimer(window_, core.id); }
  void Forget(UINT_PTR id) { timers_.erase(id); }

 private:
  // A timer event of a timer that came due after horizon: it is re-armed at
  // the minimum period, so it comes back soon, outside this ProcessPendingEvents.
  bool HeldBack(UINT_PTR id, DWORD horizon) {
    auto it = timers_.find(id);
    if (it == timers_.end() || !it->second->enabled || !After(it->second->due, horizon)) return false;
    TimerCore& core = *it->second;
    if (!core.shortened) SetTimer(window_, id, USER_TIMER_MINIMUM, nullptr);
    core.shortened = true;
    return true;
  }

  static void Dispatch(MSG& msg) {
    if (g_modeless_dialog && IsDialogMessageA(g_modeless_dialog, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<Win32EventLoop*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == WM_TIMER) {
      if (self) self->OnTimer(static_cast<UINT_PTR>(wparam));
      return 0;
    }
    if (message == kPostedTasks) {
      if (self) self->RunPosted();
      return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
  }

  void RunPosted() {
    for (;;) {
      std::function<void()> task;
      {
        std::lock_guard<std::mutex> lock(posted_mutex_);
        if (posted_.empty()) return;
        task = std::move(posted_.front());
        posted_.pop_front();
      }
      task();
    }
  }

  void OnTimer(UINT_PTR id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) {
      KillTimer(window_, id);
      return;
    }
    std::shared_ptr<TimerCore> core = it->second;  // survives the timer's destruction
    if (!core->enabled) return;
    if (core->shortened) SetTimer(window_, id, core->interval, nullptr);
    core->shortened = false;
    core->due = DueFromNow(core->interval);
    std::function<void()> handler = core->handler;
    handler();
  }

  HWND window_ = nullptr;
  UINT_PTR next_id_ = 1;
  std::mutex posted_mutex_;
  std::deque<std::function<void()>> posted_;
  std::map<UINT_PTR, std::shared_ptr<TimerCore>> timers_;
};

Win32Timer::~Win32Timer() {
  loop_.Disarm(*core_);
  core_->enabled = false;
  loop_.Forget(core_->id);
}

void Win32Timer::SetEnabled(bool enabled) {
  if (enabled == core_->enabled) return;
  core_->enabled = enabled;
  if (enabled)
    loop_.Arm(*core_);
  else
    loop_.Disarm(*core_);
}

void Win32Timer::SetInterval(std::uint32_t milliseconds) {
  core_->interval = milliseconds;
  if (!core_->enabled) return;
  if (milliseconds == 0)
    loop_.Disarm(*core_);
  else
    loop_.Arm(*core_);
}

}  // namespace

void SetModelessDialog(HWND dialog) { g_modeless_dialog = dialog; }

std::unique_ptr<EventLoop> CreatePlatformEventLoop() { return std::make_unique<Win32EventLoop>(); }
