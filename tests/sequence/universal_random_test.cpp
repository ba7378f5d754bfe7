// UniversalRandom: clock seeding, the seeded table (checked against an exact integer
// computation), the fixed test-mode sequence, Uniform's modes and the secondary
// members. The clock and the yields come from the fakes.
#include "sequence/universal_random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <set>
#include <tuple>

#include "fakes/fake_event_loop.h"
#include "fakes/fake_system.h"

struct UniversalRandomInternals {
  static std::int32_t SeedFromClock(UniversalRandom& p, std::int32_t max) { return p.SeedFromClock(max); }
  static bool SeedTable(UniversalRandom& p, std::int32_t r, std::int32_t seed1, std::int32_t seed2) {
    p.long_lag_ = r;
    return p.SeedTable(seed1, seed2);
  }
  static const IndexedArray<double>& Table(const UniversalRandom& p) { return p.lag_table_; }
  static std::pair<std::int32_t, std::int32_t> Lags(const UniversalRandom& p) { return {p.long_lag_, p.short_lag_}; }
  static IndexedArray<double> FillArray(UniversalRandom& p, std::int32_t n) { return p.FillArray(n); }
};

namespace {

using Internals = UniversalRandomInternals;

struct UniversalRandomTest : ::testing::Test {
  FakeSystem sys;
  FakeEventLoop loop;
};

TEST_F(UniversalRandomTest, SeedFromClockFoldsTheLastFiveDigitsIntoRange) {
  UniversalRandom p(sys, loop);
  // reading: max + tick before the 32-bit wrap.
  const struct { std::int32_t max; std::int64_t reading; std::int32_t seed; } cases[] = {
      {31328, 45000, 12232}, {31328, 99999, 1695}, {31328, 32000, 22000}, {31328, 31328, 31328},
      {30081, 30082, 20082}, {31328, 1234567, 1799},  // only the last five characters count
      {31328, 32768, 22768}, {31328, 65536, 22768}, {30081, 98304, 22768},  // lowest 15 bits 0
      {31328, 31328 + std::int64_t{INT32_MIN}, 19552},                        // "-2147452320"
      {31328, 31328 + std::int64_t{INT32_MAX}, 19553},                        // wraps to "-2147452321"
  };
  for (const auto& c : cases) {
    sys.tick = static_cast<std::int32_t>(c.reading - c.max);
    const int yields = loop.yields;
    EXPECT_EQ(Internals::SeedFromClock(p, c.max), c.seed) << c.max << " + " << sys.tick;
    EXPECT_EQ(loop.yields, yields + 1);
  }
}

// units / 2^24 as decimal text rounded to 15 significant digits, ties to
// even, in exact integer arithmetic: units x 5^24 counts units of 10^-24.
std::string RoundedDecimal(std::uint32_t units) {
  unsigned __int128 n = units, divisor = 1;
  for (int k = 0; k < 24; ++k) n *= 5;
  int exponent = -24;
  for (unsigned __int128 m = n; m >= 1000000000000000; m /= 10, ++exponent) divisor *= 10;
  unsigned __int128 kept = n / divisor, rest = n % divisor;
  if (rest * 2 > divisor || (rest * 2 == divisor && kept % 2 == 1)) ++kept;
  return std::to_string(static_cast<std::uint64_t>(kept)) + "e" + std::to_string(exponent);
}

// The entries in units of 2^-24: a bit stream from a three-term product
// sequence mod 179 and a congruential sequence mod 169, 24 bits an entry.
std::vector<std::uint32_t> TableUnits(int seed1, int seed2, int entries) {
  std::vector<int> w = {(seed1 + 92) / 185 % 185 + 2, seed1 % 185 + 2, (seed2 + 88) / 177 % 186 + 1};
  int l = seed2 % 177;
  std::vector<std::uint32_t> units(entries, 0);
  for (int n = 0; n < 24 * entries; ++n) {
    w.push_back(w[n] * w[n + 1] * w[n + 2] % 179);
    l = (53 * l + 1) % 169;
    units[n / 24] = units[n / 24] << 1 | ((l * w.back() >> 5) & 1);
  }
  return units;
}

TEST_F(UniversalRandomTest, SeededTableMatchesAnExactIntegerComputation) {
  sys.tick = 1007;  // the tick count's last digit picks the lags: 7 the longest
  UniversalRandom p(sys, loop);
  EXPECT_EQ(Internals::Lags(p), std::pair(607, 273));
  const struct { int r, seed1, seed2; } cases[] = {{97, 1802, 9373}, {17, 0, 0}, {607, 31328, 30081}, {33, 12232, 1695}};
  for (const auto& c : cases) {
    ASSERT_TRUE(Internals::SeedTable(p, c.r, c.seed1, c.seed2));
    const IndexedArray<double>& table = Internals::Table(p);
    ASSERT_EQ(table.Upper(), c.r + 1);
    const std::vector<std::uint32_t> units = TableUnits(c.seed1, c.seed2, c.r);
    for (int m = 1; m <= c.r; ++m) {
      const std::string text = RoundedDecimal(units[m - 1]);
      double expected = -1;
      std::from_chars(text.data(), text.data() + text.size(), expected);
      ASSERT_EQ(table[m], expected) << "seeds " << c.seed1 << "/" << c.seed2 << ", entry " << m << ": " << text;
    }
    EXPECT_EQ(table[c.r + 1], 0.0);
  }
  for (auto [seed1, seed2] : {std::pair{31329, 0}, {0, 30082}, {-1, 0}}) {
    EXPECT_FALSE(Internals::SeedTable(p, 97, seed1, seed2));
    EXPECT_EQ(p.Error(), "ERR");
  }
}

TEST_F(UniversalRandomTest, TestModeGivesTheFixedSequence) {
  const double first[] = {0.663089513755556, 0.0866401791222055, 0.164777874997187, 0.585491061182106,
                          0.670113444392829, 0.670982897294562,  0.858932495142727, 0.932362139201256};
  sys.tick = 4567;
  UniversalRandom p(sys, loop);
  p.Uniform(6);  // the clock-seeded sequence runs first
  p.SetTestMode(true);
  p.ReseedOnNextDraw(true);
  const int yields = loop.yields;
  for (double x : first) EXPECT_EQ(p.Uniform(0, 9999999), 9999999 * x + 1);
  EXPECT_EQ(loop.yields, yields) << "test mode never reads the clock";
  // Values seeds afresh on every call: the same values again, and more.
  const IndexedArray<double> values = p.Values(50000);
  ASSERT_EQ(values.Lower(), 1);
  ASSERT_EQ(values.Upper(), 50000);
  EXPECT_TRUE(std::equal(std::begin(first), std::end(first), values.begin()));
  for (double v : values) {
    ASSERT_TRUE(v >= 0 && v < 1) << v;
    ASSERT_EQ(RoundTo15Digits(v), v);
  }
}

TEST_F(UniversalRandomTest, UniformModesRangesAndRefusals) {
  UniversalRandom p(sys, loop), twin(sys, loop);  // same clock: same sequence
  // Values in [from, to); from = to: refused.
  const struct { float low, high; double from, to; } cases[] = {{6, 0, 1, 7},   {0, 6, 1, 7},     {0, 0, 0, 0},     {1, 6, 1, 7},          {6, 1, 1, 7},
               {-1, 5, 0, 0},  {2.5, 4, 2.5, 5}, {5, -1, 0, 0},    {.5f, .25f, .5, 1.25}, {NAN, 5, 0, 0},
               {0, 9999999, 1, 1e7}, {5, INFINITY, 0, 0}};
  for (const auto& c : cases) {
    const bool refused = c.from == c.to;
    double low = c.to, high = c.from;
    for (int k = 0; k < 2000; ++k) {
      const double v = p.Uniform(c.low, c.high);
      if (!refused) {  // the twin's Uniform(1) - 1 is the drawn value
        EXPECT_NEAR(v, (c.to - c.from) * (twin.Uniform(1) - 1) + c.from, 1e-9 * c.to) << c.low << ", " << c.high;
      }
      low = std::min(low, v);
      high = std::max(high, v);
    }
    EXPECT_EQ(p.Error(), refused ? "ERR" : "");
    const double margin = 0.01 * (c.to - c.from);  // the draws spread over the whole range
    EXPECT_TRUE(low >= c.from && low <= c.from + margin && high >= c.to - margin && high <= c.to && (refused || high < c.to));
  }
}

TEST_F(UniversalRandomTest, ArrayMembersAndReseeding) {
  UniversalRandom p(sys, loop);
  EXPECT_TRUE(Internals::FillArray(p, 0).empty());
  EXPECT_EQ(p.Error(), "ERR");
  for (std::int32_t n : {0, -7, UniversalRandom::kMaxElements + 1}) {
    const IndexedArray<double> failed = p.Values(n);
    EXPECT_TRUE(failed.Lower() == 0 && failed.Upper() == 1 && failed[1] == -1.0 && p.Error() == "ERR") << n;
  }
  loop.on_yield = [&] { sys.tick += 3; };
  loop.yields = 0;
  EXPECT_NEAR(p.MeanOfSamples(), 0.5, 0.005);
  EXPECT_EQ(loop.yields, 4) << "seeded twice: by Values and for the re-seed flag";
  p.Uniform(6);
  EXPECT_EQ(loop.yields, 4) << "the flag is used up";
}

TEST_F(UniversalRandomTest, RandomString) {
  sys.tick = 1235;  // last digit 5: five shuffle passes
  UniversalRandom p(sys, loop);
  // One byte cannot be shuffled: empty without "ERR". Trailing spaces are lost.
  const struct { std::int32_t length; std::int16_t lower, upper; bool hex, all; std::size_t size; const char* error; }
  cases[] = {{0, 0, 255, 0, 0, 0, "ERR"}, {5, 10, 9, 0, 0, 0, "ERR"}, {32769, 0, 255, 0, 0, 0, "ERR"},
             {5, 0, 256, 0, 0, 0, "ERR"}, {1, 0, 255, 0, 0, 0, ""},   {8, 0, 255, 1, 1, 16, ""},
             {8, 0, 255, 1, 0, 8, ""},    {50, ' ', ' ', 0, 0, 0, ""}, {4, 'Q', 'Q', 0, 0, 4, ""}};
  for (const auto& c : cases) {
    const std::string text = p.RandomString(c.length, c.lower, c.upper, c.hex, c.all);
    EXPECT_EQ(text.size(), c.size) << c.length << " " << c.lower << " " << c.upper;
    EXPECT_EQ(p.Error(), c.error);
    EXPECT_EQ(text.find_first_not_of(c.hex ? "0123456789ABCDEF" : "Q"), std::string::npos) << text;
  }
  const std::string all = p.RandomString(32768, 0, 255);
  EXPECT_EQ(std::set<char>(all.begin(), all.end()).size(), 256u);
}

TEST_F(UniversalRandomTest, DistinctNumbers) {
  sys.tick = 1235;
  UniversalRandom p(sys, loop);
  for (auto [qty, min, max] : {std::tuple{6, 1, 5}, {3, 5, 5}, {0, 1, 9}, {1, -5, 0}, {12, 0, 10}, {1, INT32_MIN, INT32_MAX}}) {
    const IndexedArray<std::int32_t> failed = p.DistinctNumbers(qty, min, max);
    EXPECT_TRUE(failed.Lower() == 0 && failed.Upper() == 1 && failed[0] == -1 && p.Error() == "ERR") << qty;
  }
  // A range reaching 0 must not return the shuffle's spare 0 as well.
  for (auto [qty, min, max, sort] : {std::tuple{3, 1, 100, false}, {11, 0, 10, false}, {11, -10, 10, false},
                                     {40, INT32_MAX - 50, INT32_MAX, false}, {25, 1, 99, true}, {3000, -9, 9000, true}}) {
    for (int run = 0; run < 5; ++run) {
      const IndexedArray<std::int32_t> values = p.DistinctNumbers(qty, min, max, sort);
      ASSERT_EQ(values.Lower(), 1);
      ASSERT_EQ(values.Upper(), qty);
      const std::set<std::int32_t> distinct(values.begin(), values.end());
      ASSERT_EQ(distinct.size(), static_cast<std::size_t>(qty)) << qty << " from " << min << ".." << max;
      EXPECT_TRUE(*distinct.begin() >= min && *distinct.rbegin() <= max);
      if (sort || qty > 10) {
        EXPECT_EQ(std::is_sorted(values.begin(), values.end()), sort);
      }
    }
  }
}

}  // namespace
