#include "sequence/next_picture.h"

#include <cmath>
#include <utility>

#include "sequence/prng_vex.h"
#include "startup/program_state.h"

std::int32_t RandomRange(ProgramState& state, std::int32_t low, std::int32_t high) {
  constexpr double kTenMillion = 10000000.0;
  double a = std::floor(state.SharedPrng->Rnd(0, 9999999));
  double b = std::floor(state.SharedPrng->Rnd(0, 9999999));
  double x = b * kTenMillion + a;
  double c = std::floor(static_cast<double>(state.BuiltinRandom.Next()) * kTenMillion);
  double d = std::floor(static_cast<double>(state.BuiltinRandom.Next()) * kTenMillion);
  double y = d * kTenMillion + c;
  double z = (x + y) / 2;
  double value = (static_cast<double>(high) - low) * (z / 100000000000000.0) + low;
  return static_cast<std::int32_t>(std::nearbyint(value));  // halves to even
}

std::string NextPicture(ProgramState& state, bool random) {
  const std::int64_t count = state.PictureCount;
  if (count < 1) return "";
  std::int64_t index = static_cast<std::int64_t>(state.CurrentIndex) + 1;
  // Repeated subtraction, done in one step: an index left far beyond a list
  // that was rebuilt smaller lands where the subtractions would put it.
  if (index >= count) index %= count;
  state.CurrentIndex = static_cast<std::int32_t>(index);
  std::vector<std::string>& list = state.PictureList;
  // Below 0: the back keys went further back than the list. A count beyond
  // the list's slots would be a fault elsewhere; it reads as "no picture".
  if (index < 0 || count > static_cast<std::int64_t>(list.size())) return "";
  if (!random) return list[index];
  std::int32_t j = RandomRange(state, state.CurrentIndex, static_cast<std::int32_t>(count - 1));
  if (j != state.CurrentIndex) std::swap(list[j], list[index]);
  return list[index];
}
