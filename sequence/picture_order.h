#pragma once
// The order of the show: which picture comes next, sequential or random
// without repeats within a pass, and where the show stands in the list.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sequence/lcg_random.h"

class Catalogue;
class EventLoop;
class SystemPort;
class UniversalRandom;

class PictureOrder {
 public:
  PictureOrder(Catalogue& catalogue, SystemPort& system, EventLoop& loop);
  ~PictureOrder();

  // Seeds both generators: the small one from a fixed state and the time of
  // day, then the universal one from the tick count, then the small one
  // again, so every run starts from a different place.
  void Seed();

  // Advances the current index (wrapping) and returns the picture there; in
  // random order first swaps a randomly chosen not-yet-shown picture into
  // that place. "" for an empty list and for a place before the list's start
  // (the back keys stepped further back than the list is long).
  std::string Next(bool random);
  // The pictures the next `count` calls of Next would give with the list as
  // it is now, without taking them: what the show prepares ahead.
  std::vector<std::string> Peek(int count, bool random) const;
  // A whole number in [low, high] from two universal and two small draws;
  // the two end values come up half as often as the others.
  std::int32_t RandomRange(std::int32_t low, std::int32_t high);
  // The same draw from the given generators.
  static std::int32_t RandomRange(UniversalRandom& universal, LcgRandom& small, std::int32_t low, std::int32_t high);

  // The picture drawn last; -1 before the first.
  std::int32_t CurrentIndex() const { return current_index_; }
  void SetCurrentIndex(std::int32_t index) { current_index_ = index; }

 private:
  Catalogue& catalogue_;
  SystemPort& system_;
  EventLoop& loop_;
  std::int32_t current_index_ = 0;
  std::unique_ptr<UniversalRandom> universal_;
  LcgRandom small_;
};
