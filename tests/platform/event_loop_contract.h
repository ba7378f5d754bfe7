#pragma once
// The event loop contract: every EventLoop (GLib, Win32, the virtual-time
// fake) must pass these. Include in one test file per implementation and
// instantiate with INSTANTIATE_TYPED_TEST_SUITE_P. Factory::kRealTime says
// whether the loop's timers run on the clock (a virtual-time loop fires them
// only from Run).
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "platform/event_loop.h"

template <typename Factory>
class EventLoopContract : public ::testing::Test {
 protected:
  void SetUp() override { loop = Factory::Create(); }

  // Runs the loop until Quit, with a watchdog so a broken loop fails instead of hanging.
  int RunWithWatchdog(std::uint32_t limit_ms = 5000) {
    auto watchdog = loop->CreateTimer(limit_ms, [this] {
      timed_out = true;
      loop->Quit(-1);
    });
    watchdog->SetEnabled(true);
    return loop->Run();
  }

  std::unique_ptr<EventLoop> loop;
  bool timed_out = false;
};

TYPED_TEST_SUITE_P(EventLoopContract);

// A timer fires until it is disabled, even when its handler turns it off and
// on again (the slide timer's pattern) or destroys it; interval 0 never fires.
TYPED_TEST_P(EventLoopContract, TimersFireUntilDisabledOrDestroyedInTheirOwnHandlers) {
  int repeated = 0, toggled = 0, destroyed = 0, zero = 0;
  std::unique_ptr<Timer> repeat, toggle, destroy, never;
  repeat = this->loop->CreateTimer(2, [&] {
    if (++repeated == 3) repeat->SetEnabled(false);
  });
  toggle = this->loop->CreateTimer(1, [&] {
    toggle->SetEnabled(false);
    if (++toggled < 4) toggle->SetEnabled(true);
  });
  destroy = this->loop->CreateTimer(1, [&] {
    ++destroyed;
    destroy.reset();
  });
  never = this->loop->CreateTimer(0, [&] { ++zero; });
  for (Timer* timer : {repeat.get(), toggle.get(), destroy.get(), never.get()}) timer->SetEnabled(true);
  auto quit = this->loop->CreateTimer(300, [&] { this->loop->Quit(7); });
  quit->SetEnabled(true);
  EXPECT_EQ(this->RunWithWatchdog(), 7);
  EXPECT_FALSE(this->timed_out);
  EXPECT_EQ(std::vector<int>({repeated, toggled, destroyed, zero}), std::vector<int>({3, 4, 1, 0}));
  EXPECT_FALSE(repeat->Enabled() || toggle->Enabled());
}

// Start-up's pattern: the 1 ms scan timer is enabled just before a yield
// whose pending work (a first paint) outlasts it. A timer that was due when
// ProcessPendingEvents began runs in it; one that only comes due meanwhile waits for the
// loop, or the scan would walk everything before the show has begun.
TYPED_TEST_P(EventLoopContract, ProcessPendingEventsRunsWhatWasDueWhenItBeganOnly) {
  using std::chrono::milliseconds;
  bool in_do_events = false;
  int busy_inside = 0, late_inside = 0, late_fired = 0;
  std::unique_ptr<Timer> busy, late;
  busy = this->loop->CreateTimer(1, [&] {
    busy->SetEnabled(false);
    busy_inside += in_do_events;
    std::this_thread::sleep_for(milliseconds(80));  // late comes due now
  });
  late = this->loop->CreateTimer(20, [&] {
    late->SetEnabled(false);
    late_inside += in_do_events;
    ++late_fired;
    this->loop->Quit(0);
  });
  busy->SetEnabled(true);
  std::this_thread::sleep_for(milliseconds(40));  // busy is due
  late->SetEnabled(true);
  in_do_events = true;
  this->loop->ProcessPendingEvents();
  in_do_events = false;
  EXPECT_EQ(busy_inside, TypeParam::kRealTime ? 1 : 0);
  EXPECT_EQ(late_inside, 0);
  this->RunWithWatchdog();
  EXPECT_FALSE(this->timed_out);
  EXPECT_EQ(late_fired, 1);
}

// Workers hand results back with Post: from any thread, each task runs on
// the loop's own thread, in the order posted, and a task may post another.
TYPED_TEST_P(EventLoopContract, PostedTasksRunOnTheLoopThreadInOrder) {
  const std::thread::id ui = std::this_thread::get_id();
  std::vector<int> ran;
  bool on_ui = true;
  std::thread worker([&] {
    for (int i = 0; i < 50; ++i)
      this->loop->Post([&, i] {
        on_ui = on_ui && std::this_thread::get_id() == ui;
        ran.push_back(i);
        if (i == 49) this->loop->Post([&] { this->loop->Quit(3); });
      });
  });
  worker.join();
  EXPECT_EQ(this->RunWithWatchdog(), 3);
  EXPECT_TRUE(on_ui);
  ASSERT_EQ(ran.size(), 50u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(ran[i], i);
}

REGISTER_TYPED_TEST_SUITE_P(EventLoopContract, TimersFireUntilDisabledOrDestroyedInTheirOwnHandlers,
                            ProcessPendingEventsRunsWhatWasDueWhenItBeganOnly, PostedTasksRunOnTheLoopThreadInOrder);
