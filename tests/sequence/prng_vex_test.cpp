// PrngVex: seeding from the clock, the seeded table, the generator's
// sequence and Rnd's modes. Clock and yields come from the fakes.
#include "sequence/prng_vex.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fakes/fake_event_loop.h"
#include "fakes/fake_system.h"
#include "sequence/prng_vex_internals.h"
#include "version.h"

namespace {

using Internals = PrngVexInternals;

class PrngVexTest : public ::testing::Test {
 protected:
  FakeSystem sys;
  FakeEventLoop loop;
};

// ---- Seeding from the clock ----------------------------------------------

TEST_F(PrngVexTest, SeedFromClockFoldsTheLastFiveDigitsIntoRange) {
  PrngVex p(sys, loop);
  struct Case {
    std::int32_t max;
    std::int64_t reading;  // max + tick, before the 32-bit wrap
    std::int32_t seed;
  };
  const Case cases[] = {
      {31328, 45000, 12232},   {31328, 99999, 1695},    {31328, 32000, 22000},
      {31328, 31328, 31328},   {31328, 1, 1},           {30081, 30082, 20082},
      {31328, 1234567, 1799},  // only the last five characters count
      // Lowest 15 bits all 0: steps down by 10000 like any other reading.
      {31328, 32768, 22768},   {31328, 65536, 22768},   {31328, 98304, 22768},
      {30081, 32768, 22768},   {30081, 98304, 22768},
      // Negative tick counts: the text's last five characters are digits.
      {31328, 31328 + std::int64_t{INT32_MIN}, 19552},  // "-2147452320"
      {31328, 31328 + std::int64_t{INT32_MAX}, 19553},  // wraps to "-2147452321"
  };
  for (const Case& c : cases) {
    sys.tick = static_cast<std::int32_t>(c.reading - c.max);
    int yields = loop.yields;
    EXPECT_EQ(Internals::SeedFromClock(p, c.max), c.seed) << c.max << " + " << sys.tick;
    EXPECT_EQ(loop.yields, yields + 1);
  }
}

TEST_F(PrngVexTest, SeedFromClockWaitsWhileTheDigitsReadAsZeroOrNegative) {
  ScriptedClock clock;
  PrngVex p(clock, loop);
  // 100000 reads as "00000", -5 as "-5"; then 45000.
  clock.script = {100000 - 31328, -5 - 31328, 100000 - 31328, 45000 - 31328};
  clock.reads = 0;
  EXPECT_EQ(Internals::SeedFromClock(p, 31328), 12232);
  EXPECT_EQ(clock.reads, 4);
}

TEST_F(PrngVexTest, LagsFollowTheTickCountsLastDigit) {
  const std::pair<std::int32_t, std::int32_t> lags[10] = {{17, 5},  {33, 13}, {39, 14},  {52, 24}, {63, 31},
                                                          {73, 25}, {97, 33}, {607, 273}, {97, 33}, {97, 33}};
  for (int digit = 0; digit < 10; ++digit) {
    sys.tick = 1000 + digit;
    PrngVex p(sys, loop);
    EXPECT_EQ(Internals::Lags(p), lags[digit]) << digit;
    const IndexedArray<double>& table = Internals::Table(p);
    EXPECT_EQ(table.Lower(), 1);
    EXPECT_EQ(table.Upper(), lags[digit].first + 1);
    EXPECT_EQ(table[table.Upper()], 0.0) << "the spare entry is never written";
  }
  sys.tick = -13;  // a negative count's last character is still a digit
  PrngVex negative(sys, loop);
  EXPECT_EQ(Internals::Lags(negative), std::make_pair(52, 24));
}

TEST_F(PrngVexTest, ConstructionSeedsTwiceFromTheClockAndRedrawsEqualSeeds) {
  // Both readings give 12232 first; the redraw at tick 0 gives 31328 and 30081.
  std::vector<std::int32_t> ticks = {12232 - 31328, 12232 - 30081, 0, 0};
  loop.on_yield = [&] {
    if (!ticks.empty()) {
      sys.tick = ticks.front();
      ticks.erase(ticks.begin());
    }
  };
  PrngVex redrawn(sys, loop);
  EXPECT_EQ(loop.yields, 4);
  loop.on_yield = nullptr;
  loop.yields = 0;
  sys.tick = 0;
  PrngVex direct(sys, loop);
  EXPECT_EQ(loop.yields, 2);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(redrawn.Rnd(0, 9999999), direct.Rnd(0, 9999999));
}

// ---- The seeded table, computed independently ----------------------------

// Exact decimal text of units / 2^24 rounded to 15 significant digits, ties
// to even: units x 5^24 is the value in units of 10^-24.
std::string RoundedDecimal(std::uint32_t units) {
  unsigned __int128 n = units;
  for (int k = 0; k < 24; ++k) n *= 5;
  std::string digits;
  for (unsigned __int128 m = n; m != 0; m /= 10) digits.insert(digits.begin(), static_cast<char>('0' + m % 10));
  if (digits.empty()) return "0";
  int exponent = -24;
  if (digits.size() > 15) {
    const std::size_t dropped = digits.size() - 15;
    unsigned __int128 divisor = 1;
    for (std::size_t k = 0; k < dropped; ++k) divisor *= 10;
    unsigned __int128 kept = n / divisor;
    const unsigned __int128 rest = n % divisor;
    if (rest * 2 > divisor || (rest * 2 == divisor && kept % 2 == 1)) ++kept;
    digits.clear();
    for (unsigned __int128 m = kept; m != 0; m /= 10) digits.insert(digits.begin(), static_cast<char>('0' + m % 10));
    exponent += static_cast<int>(dropped);
  }
  return digits + "e" + std::to_string(exponent);
}

// The table entries in units of 2^-24: a bit stream from a three-term
// product sequence mod 179 and a congruential sequence mod 169, packed 24
// bits to an entry, most significant first.
std::vector<std::uint32_t> TableUnits(int seed1, int seed2, int entries) {
  const int bits = 24 * entries;
  std::vector<int> w(bits + 3);
  w[0] = (seed1 + 92) / 185 % 185 + 2;  // +92 and +88: integer rounding to nearest
  w[1] = seed1 % 185 + 2;
  w[2] = (seed2 + 88) / 177 % 186 + 1;
  int l = seed2 % 177;
  std::vector<std::uint32_t> units(entries, 0);
  for (int n = 0; n < bits; ++n) {
    w[n + 3] = w[n] * w[n + 1] * w[n + 2] % 179;
    l = (53 * l + 1) % 169;
    units[n / 24] = units[n / 24] << 1 | ((l * w[n + 3] >> 5) & 1);
  }
  return units;
}

TEST_F(PrngVexTest, SeededTableMatchesAnExactIntegerComputation) {
  PrngVex p(sys, loop);
  const struct {
    int r, s, seed1, seed2;
  } cases[] = {{97, 33, 1802, 9373}, {17, 5, 0, 0}, {607, 273, 31328, 30081}, {33, 13, 12232, 1695}};
  for (const auto& c : cases) {
    ASSERT_TRUE(Internals::SeedTable(p, c.r, c.s, c.seed1, c.seed2));
    EXPECT_EQ(p.ErrorMsg(), "");
    const IndexedArray<double>& table = Internals::Table(p);
    ASSERT_EQ(table.Upper(), c.r + 1);
    const std::vector<std::uint32_t> units = TableUnits(c.seed1, c.seed2, c.r);
    int inexact = 0;
    for (int m = 1; m <= c.r; ++m) {
      const std::string text = RoundedDecimal(units[m - 1]);
      double expected = -1;
      std::from_chars(text.data(), text.data() + text.size(), expected);
      ASSERT_EQ(table[m], expected) << "seeds " << c.seed1 << "/" << c.seed2 << " entry " << m << " = " << text;
      if (expected != units[m - 1] / 16777216.0) ++inexact;
    }
    EXPECT_GT(inexact, 0) << "some entries need the 15-digit rounding";
    EXPECT_EQ(table[c.r + 1], 0.0);
  }
}

TEST_F(PrngVexTest, SeedTableAcceptsOnlySeedsInRange) {
  PrngVex p(sys, loop);
  const struct {
    int seed1, seed2;
    bool ok;
  } cases[] = {{0, 0, true},          {31328, 30081, true}, {31329, 0, false},
               {0, 30082, false},     {-1, 5, false},       {5, -1, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(Internals::SeedTable(p, 97, 33, c.seed1, c.seed2), c.ok) << c.seed1 << "/" << c.seed2;
    EXPECT_EQ(p.ErrorMsg(), c.ok ? "" : "ERR");
  }
}

// ---- The sequence --------------------------------------------------------

// The first values of test mode: seeds 1802/9373, lags 97/33, 20000 warm-up steps.
const double kTestModeValues[] = {0.663089513755556, 0.0866401791222055, 0.164777874997187, 0.585491061182106,
                                 0.670113444392829, 0.670982897294562, 0.858932495142727, 0.932362139201256};

TEST_F(PrngVexTest, TestModeGivesTheFixedSequence) {
  for (std::int32_t tick : {0, 4567, -99}) {
    sys.tick = tick;
    PrngVex p(sys, loop);
    p.Rnd(0, 9999999);  // draws from the clock-seeded sequence first
    p.TestMode(true);
    p.Randomize(true);
    const int yields = loop.yields;
    for (double x : kTestModeValues) EXPECT_EQ(p.Rnd(0, 9999999), 9999999 * x + 1) << tick;
    EXPECT_EQ(loop.yields, yields) << "test mode never reads the clock";
    EXPECT_EQ(Internals::Lags(p), std::make_pair(97, 33));

    // RndArray starts the same fixed sequence afresh on every call.
    const IndexedArray<double> values = p.RndArray(std::size(kTestModeValues));
    ASSERT_EQ(values.Lower(), 1);
    ASSERT_EQ(values.size(), std::size(kTestModeValues));
    for (std::int32_t k = 1; k <= values.Upper(); ++k) EXPECT_EQ(values[k], kTestModeValues[k - 1]);
    EXPECT_EQ(p.RndArray(std::size(kTestModeValues)), values);
  }
}

TEST_F(PrngVexTest, RandomizeReseedsOnceAndTestModeOffReturnsToTheClock) {
  PrngVex p(sys, loop);
  p.Randomize(true);
  loop.yields = 0;
  p.Rnd(6);
  EXPECT_EQ(loop.yields, 2) << "the next draw seeds afresh from the clock";
  p.Rnd(6);
  EXPECT_EQ(loop.yields, 2) << "once";
  p.TestMode(true);
  p.TestMode(false);
  p.Randomize(true);
  p.Rnd(6);
  EXPECT_EQ(loop.yields, 4);
}

TEST_F(PrngVexTest, ValuesAreFifteenDigitNumbersInTheUnitInterval) {
  sys.tick = 7;  // the long lags 607/273
  PrngVex p(sys, loop);
  IndexedArray<double> values = Internals::FillArray(p, 50000);
  ASSERT_EQ(values.Lower(), 1);
  ASSERT_EQ(values.Upper(), 50000);
  double low = 1, high = 0;
  for (double v : values) {
    ASSERT_GE(v, 0.0);
    ASSERT_LT(v, 1.0);
    ASSERT_EQ(RoundTo15Digits(v), v);
    low = std::min(low, v);
    high = std::max(high, v);
  }
  EXPECT_LT(low, 0.001);
  EXPECT_GT(high, 0.999);
}

TEST_F(PrngVexTest, FillArrayRefusesCountsBelowOneAndAboveTheLimit) {
  PrngVex p(sys, loop);
  for (std::int32_t n : {0, -1, INT32_MIN, PrngVex::kMaxElements + 1, INT32_MAX}) {
    EXPECT_TRUE(Internals::FillArray(p, n).empty()) << n;
    EXPECT_EQ(p.ErrorMsg(), "ERR");
  }
  EXPECT_EQ(Internals::FillArray(p, 1).size(), 1u);
  EXPECT_EQ(p.ErrorMsg(), "");
}

TEST_F(PrngVexTest, ValuesThatRoundUpToOneWrapToZero) {
  PrngVex p(sys, loop);
  // 0.25 - (0.25 + 2^-54) + 1 is 1 - 2^-54, which double arithmetic rounds to 1.
  Internals::SetState(p, {0.25 + std::ldexp(1.0, -54), 0.25}, 1, 0);
  EXPECT_EQ(Internals::FillArray(p, 1)[1], 0.0);
  // 1 - 2^-52 is a double, but its 15-digit rounding is 1.
  Internals::SetState(p, {0.5, 0.5 - std::ldexp(1.0, -52)}, 1, 0);
  EXPECT_EQ(Internals::FillArray(p, 1)[1], 0.0);
  // Ordinary differences are kept.
  Internals::SetState(p, {0.75, 0.25}, 1, 0.125);
  EXPECT_EQ(Internals::FillArray(p, 1)[1], 0.375);
}

TEST(RoundTo15Digits, RoundsToNearestWithTiesToEven) {
  const struct {
    double in, out;
  } cases[] = {
      {1000000000000005.0, 1000000000000000.0},  // exact tie, even below
      {1000000000000015.0, 1000000000000020.0},  // exact tie, even above
      {1000000000000016.0, 1000000000000020.0},
      {-1000000000000005.0, -1000000000000000.0},
      {1.0 / 3, 0.333333333333333},
      {2.0 / 3, 0.666666666666667},
      {0.1, 0.1},
      {5.9604644775390625e-08, 5.96046447753906e-08},  // 2^-24
      {123456789012345678.0, 123456789012346000.0},
      {0.0, 0.0},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundTo15Digits(c.in), c.out) << c.in;
  EXPECT_TRUE(std::isnan(RoundTo15Digits(std::numeric_limits<double>::quiet_NaN())));
  EXPECT_EQ(RoundTo15Digits(INFINITY), INFINITY);
}

// ---- Rnd -----------------------------------------------------------------

TEST_F(PrngVexTest, RndModesGiveTheirRanges) {
  PrngVex p(sys, loop);
  const struct {
    float low, high;
    double from, to;  // [from, to)
  } cases[] = {
      {6, 0, 1, 7},     {0, 6, 1, 7},         {1, 6, 1, 7},         {6, 1, 1, 7},
      {2.5, 4, 2.5, 5}, {0.5f, 0.25f, 0.5, 1.25}, {0.25f, 0.5f, 0.25, 1.5}, {0, 9999999, 1, 10000000},
  };
  for (const auto& c : cases) {
    double low = c.to, high = c.from;
    for (int k = 0; k < 3000; ++k) {
      const double v = p.Rnd(c.low, c.high);
      ASSERT_GE(v, c.from) << c.low << ", " << c.high;
      ASSERT_LT(v, c.to) << c.low << ", " << c.high;
      low = std::min(low, v);
      high = std::max(high, v);
    }
    EXPECT_EQ(p.ErrorMsg(), "");
    // The draws spread over the whole range.
    EXPECT_LT(low - c.from, (c.to - c.from) * 0.01) << c.low << ", " << c.high;
    EXPECT_GT(high - c.from, (c.to - c.from) * 0.99) << c.low << ", " << c.high;
  }
}

TEST_F(PrngVexTest, RndRefusesBadBoundsWithoutDrawing) {
  PrngVex a(sys, loop), b(sys, loop);  // same tick: same sequence
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    float low, high;
  } bad[] = {{0, 0}, {-1, 5}, {5, -1}, {-0.5f, 0}, {nan, 5}, {5, INFINITY}};
  for (const auto& c : bad) {
    const double expected = b.Rnd(6);
    EXPECT_EQ(a.Rnd(c.low, c.high), 0.0) << c.low << ", " << c.high;
    EXPECT_EQ(a.ErrorMsg(), "ERR");
    EXPECT_EQ(a.Rnd(6), expected) << "no number was drawn";
    EXPECT_EQ(a.ErrorMsg(), "");
  }
}

TEST_F(PrngVexTest, RndIntegerPartsAreUniform) {
  PrngVex p(sys, loop);
  p.TestMode(true);
  p.Randomize(true);  // fixed seeds: the same statistic on every run
  constexpr int kBuckets = 100;
  constexpr int kDraws = 100000;
  std::vector<int> counts(kBuckets, 0);
  for (int k = 0; k < kDraws; ++k) {
    const auto n = static_cast<std::int32_t>(p.Rnd(0, 9999999));
    ASSERT_GE(n, 1);
    ASSERT_LE(n, 9999999);
    ++counts[(n - 1) / 100000];
  }
  double chi_square = 0;
  const double expected = static_cast<double>(kDraws) / kBuckets;
  for (int c : counts) chi_square += (c - expected) * (c - expected) / expected;
  // 99 degrees of freedom: mean 99, standard deviation 14. (The correction
  // sequence is equidistributed, so small values are expected too.)
  EXPECT_LT(chi_square, 170);
}

// ---- Small members -------------------------------------------------------

TEST_F(PrngVexTest, VersionJoinsTheNumbersAndTheComments) {
  PrngVex p(sys, loop);
  EXPECT_EQ(p.Version(), std::string(GLIMMORA_VERSION_TEXT) + "  " + GLIMMORA_VERSION_COMMENTS);
}

TEST_F(PrngVexTest, MedianValueIsTheMeanOfAFreshlySeededRun) {
  PrngVex p(sys, loop);
  loop.on_yield = [&] { sys.tick += 3; };
  loop.yields = 0;
  const double mean = p.MedianValue();
  EXPECT_NEAR(mean, 0.5, 0.005);
  EXPECT_EQ(loop.yields, 4) << "seeded twice: by RndArray and again for the re-seed flag";
  p.Rnd(6);
  EXPECT_EQ(loop.yields, 4) << "the flag is used up";
}

TEST_F(PrngVexTest, RndArrayRefusesCountsBelowOneAndReseedsOtherwise) {
  PrngVex p(sys, loop);
  for (std::int32_t n : {0, -7, PrngVex::kMaxElements + 1}) {
    const IndexedArray<double> failed = p.RndArray(n);
    ASSERT_EQ(failed.Lower(), 0);
    ASSERT_EQ(failed.Upper(), 1);
    EXPECT_EQ(failed[1], -1.0);
    EXPECT_EQ(p.ErrorMsg(), "ERR");
  }
  loop.yields = 0;
  const IndexedArray<double> values = p.RndArray(3);
  EXPECT_EQ(p.ErrorMsg(), "");
  EXPECT_EQ(values.Lower(), 1);
  EXPECT_EQ(values.Upper(), 3);
  EXPECT_EQ(loop.yields, 2) << "every call seeds from the clock";
}

TEST(IndexedArray, KeepsItsIndexRange) {
  IndexedArray<int> a(0, 2);
  a[0] = 5;
  a[2] = 7;
  EXPECT_EQ(a.Lower(), 0);
  EXPECT_EQ(a.Upper(), 2);
  EXPECT_EQ(a.size(), 3u);
  EXPECT_THROW(a[3], std::out_of_range);
  EXPECT_THROW(a[-1], std::out_of_range);
  const IndexedArray<int> empty;
  EXPECT_TRUE(empty.empty());
  EXPECT_EQ(empty.Upper(), empty.Lower() - 1);
  EXPECT_TRUE(IndexedArray<int>(1, 0).empty());
  EXPECT_THROW(empty[1], std::out_of_range);
}

}  // namespace
