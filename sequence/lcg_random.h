#pragma once
// A small uniform generator: a 24-bit linear congruential generator with a
// reset to a fixed state and a reseed from a number. The picture order mixes
// its draws with UniversalRandom's, so neither generator alone decides.
#include <cstdint>

class LcgRandom {
 public:
  // Restarts from a state derived from the seed's bits alone (a negative seed
  // gives a fixed state) and returns the first value from there.
  float Reset(float seed);
  // Mixes a number (seconds since midnight) into the state.
  void Reseed(double seed);
  // Next value in [0, 1), single precision.
  float Next();

 private:
  std::uint32_t state_ = 0x50000;
};
