#pragma once
// The monitor-power contract: with the power hook on an engine window, a
// switch-off requested through the power port sets Sleeping, the monitors
// coming back clear it, and an unhooked window hears nothing. Every pair of
// engine window and power port (fake, Linux with a stand-in DPMS server,
// Win32 under Wine) must pass it. A rig provides Window(), Power(),
// PumpUntil(condition) (events until it holds or a second has passed) and
// MonitorsWake().
#include <gtest/gtest.h>

#include "fakes/fake_ports.h"
#include "saver/power_watch.h"
#include "saver/saver_form.h"

template <typename Rig>
class PowerPortContract : public ::testing::Test {};
TYPED_TEST_SUITE_P(PowerPortContract);

TYPED_TEST_P(PowerPortContract, OnlyAHookedWindowHearsSwitchOffAndWake) {
  TypeParam rig;
  FakeProgram program;
  ProgramState& state = program.state;
  state.ports.power = &rig.Power();
  HookWindow(state, rig.Window());
  MonitorsOff(state);
  EXPECT_TRUE(rig.PumpUntil([&] { return state.Sleeping; }));
  rig.MonitorsWake();
  EXPECT_TRUE(rig.PumpUntil([&] { return !state.Sleeping; }));
  UnhookWindow(state, rig.Window());
  MonitorsOff(state);
  EXPECT_FALSE(rig.PumpUntil([&] { return state.Sleeping; }));
  rig.MonitorsWake();
}

REGISTER_TYPED_TEST_SUITE_P(PowerPortContract, OnlyAHookedWindowHearsSwitchOffAndWake);
