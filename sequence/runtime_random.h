#pragma once
// The runtime's built-in uniform generator: the classic 24-bit linear
// congruential generator of BASIC runtimes, with its reset (a draw with a
// negative argument) and its reseed from a number. Independent of PrngVex.
#include <cstdint>

class RuntimeRandom {
 public:
  // A draw with a negative argument: restarts from a state derived from the
  // argument alone, so Rnd(-1) always gives the same fixed state.
  float Reset(float seed);
  // Mixes a number (seconds since midnight) into the state.
  void Randomize(double seed);
  // Next value in [0, 1), single precision.
  float Next();

 private:
  std::uint32_t state_ = 0x50000;
};
