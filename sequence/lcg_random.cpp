#include "sequence/lcg_random.h"

#include <cstring>

namespace {
constexpr std::uint32_t kMask24 = 0xFFFFFF;
constexpr std::uint32_t kMultiplier = 0x43FD43FD;
constexpr std::uint32_t kIncrement = 0xC39EC3;
}  // namespace

float LcgRandom::Reset(float seed) {
  std::uint32_t bits;
  std::memcpy(&bits, &seed, sizeof bits);
  state_ = ((bits & kMask24) + (bits >> 24)) & kMask24;
  return Next();
}

void LcgRandom::Reseed(double seed) {
  std::uint64_t bits;
  std::memcpy(&bits, &seed, sizeof bits);
  std::uint32_t high = static_cast<std::uint32_t>(bits >> 32);
  std::uint32_t mixed = ((high ^ (high >> 16)) & 0xFFFF) << 8;
  state_ = (state_ & 0xFF0000FF) | mixed;
}

float LcgRandom::Next() {
  state_ = (state_ * kMultiplier + kIncrement) & kMask24;
  return static_cast<float>(state_) / 16777216.0f;
}
