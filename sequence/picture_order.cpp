#include "sequence/picture_order.h"

#include <cmath>
#include <map>
#include <optional>

#include "catalogue/catalogue.h"
#include "platform/system.h"
#include "sequence/universal_random.h"

PictureOrder::PictureOrder(Catalogue& catalogue, SystemPort& system, EventLoop& loop)
    : catalogue_(catalogue), system_(system), loop_(loop) {}

PictureOrder::~PictureOrder() = default;

void PictureOrder::Seed() {
  auto reseed_small = [this] {
    small_.Reset(-1.0f);
    small_.Reseed(system_.SecondsSinceMidnight());
  };
  reseed_small();
  universal_ = std::make_unique<UniversalRandom>(system_, loop_);
  reseed_small();
}

std::int32_t PictureOrder::RandomRange(std::int32_t low, std::int32_t high) {
  if (!universal_) Seed();
  return RandomRange(*universal_, small_, low, high);
}

std::int32_t PictureOrder::RandomRange(UniversalRandom& universal, LcgRandom& small, std::int32_t low,
                                       std::int32_t high) {
  constexpr double kTenMillion = 10000000.0;
  double a = std::floor(universal.Uniform(0, 9999999));
  double b = std::floor(universal.Uniform(0, 9999999));
  double x = b * kTenMillion + a;
  double c = std::floor(static_cast<double>(small.Next()) * kTenMillion);
  double d = std::floor(static_cast<double>(small.Next()) * kTenMillion);
  double y = d * kTenMillion + c;
  double z = (x + y) / 2;
  double value = (static_cast<double>(high) - low) * (z / 100000000000000.0) + low;
  return static_cast<std::int32_t>(std::nearbyint(value));  // halves to even
}

std::string PictureOrder::Next(bool random) {
  const std::int64_t count = catalogue_.PictureCount();
  if (count < 1) return "";
  std::int64_t index = static_cast<std::int64_t>(current_index_) + 1;
  // Repeated subtraction, done in one step: an index left far beyond a list
  // that was rebuilt smaller lands where the subtractions would put it.
  if (index >= count) index %= count;
  current_index_ = static_cast<std::int32_t>(index);
  // The draw comes before the place is checked: a place before the list's
  // start uses up its draw too, so the back keys leave the random order
  // where it would have been.
  const std::int32_t j = random ? RandomRange(current_index_, static_cast<std::int32_t>(count - 1)) : 0;
  if (index < 0) return "";
  if (random && j != current_index_) catalogue_.SwapPictures(j, current_index_);
  return catalogue_.Picture(current_index_);
}

// Next, run on copies: the generators are copied, and the swaps the random
// order would make are kept aside instead of made in the list.
std::vector<std::string> PictureOrder::Peek(int count, bool random) const {
  std::vector<std::string> out;
  const std::int64_t pictures = catalogue_.PictureCount();
  if (pictures < 1 || (random && !universal_)) return out;
  std::optional<UniversalRandom> universal;
  if (random) universal.emplace(*universal_);
  LcgRandom small = small_;
  std::map<std::int64_t, std::int64_t> moved;  // place -> the place whose picture is there now
  auto at = [&moved](std::int64_t place) {
    auto it = moved.find(place);
    return it == moved.end() ? place : it->second;
  };
  std::int64_t index = current_index_;
  for (int k = 0; k < count; ++k) {
    index += 1;
    if (index >= pictures) index %= pictures;
    const std::int64_t j = random ? RandomRange(*universal, small, static_cast<std::int32_t>(index),
                                                static_cast<std::int32_t>(pictures - 1))
                                  : index;
    if (index < 0) {
      out.emplace_back();
      continue;
    }
    if (j != index) {
      const std::int64_t a = at(j), b = at(index);
      moved[j] = b;
      moved[index] = a;
    }
    out.push_back(catalogue_.Picture(static_cast<std::int32_t>(at(index))));
  }
  return out;
}
