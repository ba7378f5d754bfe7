#pragma once
// The monitor-power contract: with the power watch on a hidden window, a
// switch-off requested through the power port puts the show to sleep, the
// monitors coming back wake it, and an unhooked window hears nothing. Every pair of
// hidden window and power port (fake, Linux with a stand-in DPMS server,
// Win32 under Wine) must pass it. A rig provides Window(), Power(),
// PumpUntil(condition) (events until it holds or a second has passed) and
// MonitorsWake().
#include <gtest/gtest.h>

#include "fakes/fake_services.h"
#include "saver/power_watch.h"

template <typename Rig>
class PowerPortContract : public ::testing::Test {};
TYPED_TEST_SUITE_P(PowerPortContract);

TYPED_TEST_P(PowerPortContract, OnlyAHookedWindowHearsSwitchOffAndWake) {
  TypeParam rig;
  FakeShow show;
  const bool& asleep = show.show.Flags().asleep;
  PowerWatch watch(rig.Power(), show.show);
  watch.Hook(rig.Window());
  rig.Power().TurnMonitorsOff();
  EXPECT_TRUE(rig.PumpUntil([&] { return asleep; }));
  rig.MonitorsWake();
  EXPECT_TRUE(rig.PumpUntil([&] { return !asleep; }));
  watch.Unhook(rig.Window());
  rig.Power().TurnMonitorsOff();
  EXPECT_FALSE(rig.PumpUntil([&] { return asleep; }));
  rig.MonitorsWake();
}

REGISTER_TYPED_TEST_SUITE_P(PowerPortContract, OnlyAHookedWindowHearsSwitchOffAndWake);
