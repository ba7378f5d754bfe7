#pragma once
// White-box access to PrngVex's private steps, and a clock that replays a
// script of readings, for the generator's tests.
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_system.h"
#include "sequence/prng_vex.h"

struct PrngVexInternals {
  static std::int32_t SeedFromClock(PrngVex& p, std::int32_t max) { return p.SeedFromClock(max); }
  // Seeds the table for the lags (r, s) without the warm-up.
  static bool SeedTable(PrngVex& p, std::int32_t r, std::int32_t s, std::int32_t seed1, std::int32_t seed2) {
    p.r_ = r;
    p.s_ = s;
    return p.SeedTable(seed1, seed2);
  }
  static const IndexedArray<double>& Table(const PrngVex& p) { return p.LagTable; }
  static std::pair<std::int32_t, std::int32_t> Lags(const PrngVex& p) { return {p.r_, p.s_}; }
  static IndexedArray<double> FillArray(PrngVex& p, std::int32_t n) { return p.FillArray(n); }
  static std::string JoinStrings(const std::vector<std::string>& pieces) { return PrngVex::JoinStrings(pieces); }
  // Replaces the generator state: table entries 1..r (plus the unused r + 1),
  // both lags, and a correction sequence that stays at c.
  static void SetState(PrngVex& p, const std::vector<double>& entries, std::int32_t s, double c) {
    const auto r = static_cast<std::int32_t>(entries.size());
    p.LagTable = IndexedArray<double>(1, r + 1);
    for (std::int32_t m = 1; m <= r; ++m) p.LagTable[m] = entries[m - 1];
    p.r_ = p.i_ = r;
    p.s_ = p.j_ = s;
    p.c_ = c;
    p.cd_ = 0;
    p.cm_ = 1;
  }
};

// A clock that returns scripted readings in turn, then `tick` for good.
class ScriptedClock final : public SystemPort {
 public:
  std::int32_t TickCount() override {
    ++reads;
    if (script.empty()) return tick;
    std::int32_t reading = script.front();
    script.pop_front();
    return reading;
  }
  double SecondsSinceMidnight() override { return 0; }
  void MsgBox(const std::string&, const std::string&, int) override {}
  void ShowCursor(bool) override {}
  void SetScreenSaverRunning(bool) override {}
  [[noreturn]] void EndProcess(int exit_code) override { throw ProcessEnded{exit_code}; }

  std::deque<std::int32_t> script;
  std::int32_t tick = 0;
  int reads = 0;
};
