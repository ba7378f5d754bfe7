#include "sequence/prng_vex.h"

#include "platform/event_loop.h"
#include "platform/system.h"

PrngVex::PrngVex(SystemPort& system, EventLoop&) : state_(static_cast<std::uint32_t>(system.TickCount()) | 1u) {}

double PrngVex::Rnd(float sngLow, float sngHigh) {
  state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
  double x = static_cast<double>(state_ >> 11) / 9007199254740992.0;
  double n = sngLow >= 1 ? sngLow : sngHigh;
  return n * x + 1;
}
