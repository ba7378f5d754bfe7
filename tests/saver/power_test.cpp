// The monitor-power contract against the fakes.
#include "saver/power_contract.h"

namespace {

struct FakePowerRig {
  EngineWindow& Window() { return window; }
  PowerPort& Power() { return power; }
  template <typename Condition>
  bool PumpUntil(Condition done) {
    return done();
  }
  void Settle() {}
  void MonitorsWake() { power.Report(kMonitorPowerOn); }

  FakeEngineWindow window{1};
  FakePower power;
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, PowerPortContract, FakePowerRig);
