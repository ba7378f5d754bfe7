// First cut of this platform service; the subsystem that needs it fills it in.
#include "saver/power.h"

namespace {
class PlatformPowerPort final : public PowerPort {};
}  // namespace

std::unique_ptr<PowerPort> CreatePlatformPower() { return std::make_unique<PlatformPowerPort>(); }
