#pragma once
// PrngVex: the program's own uniform random number generator.
// (Placeholder until the lagged subtractive generator lands: same interface
// for the one call the program makes.)
#include <cstdint>

class SystemPort;
class EventLoop;

class PrngVex {
 public:
  PrngVex(SystemPort& system, EventLoop& loop);
  // Rnd(N) or Rnd(0, N): a value in [1, N + 1).
  double Rnd(float sngLow, float sngHigh = 0);

 private:
  std::uint64_t state_;
};
