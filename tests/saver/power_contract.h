#pragma once
// The monitor-power contract: with the power hook on an engine window, a
// switch-off requested through the power port sets Sleeping (not in preview
// mode), the monitors coming back clear it, and an unhooked window hears
// nothing. Every pair of engine window and power port (fake, Linux with a
// stand-in DPMS server, Win32 under Wine) must pass it. A rig provides:
//   EngineWindow& Window();  PowerPort& Power();
//   bool PumpUntil(condition)  processes the platform's events until the
//                              condition holds or a second has passed
//   void Settle()              processes events for as long as a report takes
//   void MonitorsWake()        the system switches the monitors back on
#include <gtest/gtest.h>

#include "fakes/fake_ports.h"
#include "saver/power_watch.h"
#include "saver/saver_form.h"

template <typename Rig>
class PowerPortContract : public ::testing::Test {
 protected:
  void SetUp() override { state.ports.power = &rig.Power(); }
  void TearDown() override {
    if (hooked) UnhookWindow(state, rig.Window());
  }
  void Hook() {
    HookWindow(state, rig.Window());
    hooked = true;
  }
  void Unhook() {
    UnhookWindow(state, rig.Window());
    hooked = false;
  }

  Rig rig;
  FakeProgram program;
  ProgramState& state = program.state;
  bool hooked = false;
};

TYPED_TEST_SUITE_P(PowerPortContract);

TYPED_TEST_P(PowerPortContract, SwitchOffReachesTheHookAndWakingClearsIt) {
  this->Hook();
  MonitorsOff(this->state);
  EXPECT_TRUE(this->rig.PumpUntil([&] { return this->state.Sleeping; }));
  this->rig.MonitorsWake();
  EXPECT_TRUE(this->rig.PumpUntil([&] { return !this->state.Sleeping; }));
}

TYPED_TEST_P(PowerPortContract, PreviewNeverSleeps) {
  this->state.PreviewHost = 4242;
  this->Hook();
  MonitorsOff(this->state);
  this->rig.Settle();
  EXPECT_FALSE(this->state.Sleeping);
  this->rig.MonitorsWake();
  this->rig.Settle();
  EXPECT_FALSE(this->state.Sleeping);
}

TYPED_TEST_P(PowerPortContract, UnhookedWindowHearsNothingAndCanBeHookedAgain) {
  this->Hook();
  this->Unhook();
  MonitorsOff(this->state);
  this->rig.Settle();
  EXPECT_FALSE(this->state.Sleeping);
  this->rig.MonitorsWake();
  this->rig.Settle();
  this->Hook();
  MonitorsOff(this->state);
  EXPECT_TRUE(this->rig.PumpUntil([&] { return this->state.Sleeping; }));
  this->rig.MonitorsWake();
  EXPECT_TRUE(this->rig.PumpUntil([&] { return !this->state.Sleeping; }));
}

REGISTER_TYPED_TEST_SUITE_P(PowerPortContract, SwitchOffReachesTheHookAndWakingClearsIt, PreviewNeverSleeps,
                            UnhookedWindowHearsNothingAndCanBeHookedAgain);
