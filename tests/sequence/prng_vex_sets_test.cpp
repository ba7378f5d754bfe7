// PrngVex's strings of random bytes and sets of distinct numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "fakes/fake_event_loop.h"
#include "fakes/fake_system.h"
#include "sequence/prng_vex.h"
#include "sequence/prng_vex_internals.h"

namespace {

class PrngVexSetsTest : public ::testing::Test {
 protected:
  PrngVexSetsTest() { sys.tick = 1235; }  // ends in 5: five shuffle passes
  FakeSystem sys;
  FakeEventLoop loop;
};

std::vector<std::int32_t> Values(const IndexedArray<std::int32_t>& a) { return {a.begin(), a.end()}; }

// ---- BuildRndString -------------------------------------------------------

TEST_F(PrngVexSetsTest, BuildRndStringRefusesBadArguments) {
  PrngVex p(sys, loop);
  const struct {
    std::int32_t length;
    std::int16_t lower, upper;
  } bad[] = {{0, 0, 255}, {-1, 0, 255}, {32769, 0, 255}, {5, 10, 9}, {5, -1, 9}, {5, 0, 256}};
  for (const auto& c : bad) {
    EXPECT_EQ(p.BuildRndString(c.length, c.lower, c.upper), "") << c.length << " " << c.lower << " " << c.upper;
    EXPECT_EQ(p.ErrorMsg(), "ERR");
  }
  // One byte cannot be shuffled: empty, but not an argument error.
  EXPECT_EQ(p.BuildRndString(1, 0, 255), "");
  EXPECT_EQ(p.ErrorMsg(), "");
}

TEST_F(PrngVexSetsTest, BuildRndStringGivesCharactersOrHexPairs) {
  PrngVex p(sys, loop);
  const std::string hex_all = p.BuildRndString(8, 0, 255, true, true);
  EXPECT_EQ(hex_all.size(), 16u);
  EXPECT_EQ(hex_all.find_first_not_of("0123456789ABCDEF"), std::string::npos) << hex_all;
  const std::string hex = p.BuildRndString(8, 0, 255, true);
  EXPECT_EQ(hex.size(), 8u);
  EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos) << hex;

  const std::string letters = p.BuildRndString(3000, 'A', 'F');
  ASSERT_EQ(letters.size(), 3000u);
  for (char c = 'A'; c <= 'F'; ++c) EXPECT_GT(std::count(letters.begin(), letters.end(), c), 400) << c;
  EXPECT_EQ(letters.find_first_not_of("ABCDEF"), std::string::npos);

  EXPECT_EQ(p.BuildRndString(4, 'Q', 'Q'), "QQQQ");
  EXPECT_EQ(p.ErrorMsg(), "");
  // Every byte value can occur; the longest string is accepted.
  const std::string all = p.BuildRndString(32768, 0, 255);
  EXPECT_GE(all.size(), 32700u);
  EXPECT_EQ(std::set<char>(all.begin(), all.end()).size(), 256u);
}

TEST_F(PrngVexSetsTest, BuildRndStringLosesTrailingSpaces) {
  PrngVex p(sys, loop);
  EXPECT_EQ(p.BuildRndString(50, ' ', ' '), "");
  EXPECT_EQ(p.ErrorMsg(), "");
  // Spaces and '!' in equal shares: the text never ends in a space.
  std::size_t shortened = 0;
  for (int k = 0; k < 20; ++k) {
    const std::string text = p.BuildRndString(10, ' ', '!');
    EXPECT_TRUE(text.empty() || text.back() == '!') << text;
    EXPECT_LE(text.size(), 10u);
    shortened += text.size() < 10u;
  }
  EXPECT_GT(shortened, 0u);
}

TEST_F(PrngVexSetsTest, BuildRndStringSeedsAfreshAndWaitsForAShuffleDigit) {
  PrngVex p(sys, loop);
  sys.tick = 20;  // digit 0: the shuffle reads the clock again until 3..7
  loop.on_yield = [&] { ++sys.tick; };
  loop.yields = 0;
  EXPECT_EQ(p.BuildRndString(6, 'a', 'z').size(), 6u);
  // Two seeds (ticks 21, 22), then shuffle readings 23: three yields.
  EXPECT_EQ(loop.yields, 3);
}

TEST(JoinStrings, GrowsItsBufferAndDropsTrailingSpaces) {
  std::vector<std::string> pieces(25000, "abcd");  // 100,000 characters: two growth steps
  pieces.push_back("  ");
  const std::string joined = PrngVexInternals::JoinStrings(pieces);
  EXPECT_EQ(joined.size(), 100000u);
  EXPECT_EQ(joined.substr(99996), "abcd");
  EXPECT_EQ(PrngVexInternals::JoinStrings({"a b", " ", "c ", "  "}), "a b c");
  EXPECT_EQ(PrngVexInternals::JoinStrings({}), "");
}

// ---- NonRepeatingNbrs ------------------------------------------------------

TEST_F(PrngVexSetsTest, NonRepeatingNbrsRefusesImpossibleRequests) {
  PrngVex p(sys, loop);
  const struct {
    std::int32_t qty, min, max;
  } bad[] = {{6, 1, 5},  {3, 5, 5},  {0, 1, 10},          {1, -5, 0},
             {12, 0, 10}, {5, 7, 3}, {1, 0, PrngVex::kMaxElements}, {1, INT32_MIN, INT32_MAX}};
  for (const auto& c : bad) {
    const IndexedArray<std::int32_t> failed = p.NonRepeatingNbrs(c.qty, c.min, c.max);
    ASSERT_EQ(failed.Lower(), 0) << c.qty << " " << c.min << " " << c.max;
    ASSERT_EQ(failed.Upper(), 1);
    EXPECT_EQ(failed[0], -1);
    EXPECT_EQ(p.ErrorMsg(), "ERR");
  }
}

TEST_F(PrngVexSetsTest, NonRepeatingNbrsGivesDistinctValuesFromTheRange) {
  PrngVex p(sys, loop);
  const struct {
    std::int32_t qty, min, max;
  } cases[] = {{3, 1, 100}, {100, 1, 100}, {11, 0, 10}, {11, -10, 10}, {2, -3, 1}, {40, INT32_MAX - 50, INT32_MAX}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.qty << " from " << c.min << ".." << c.max);
    for (int run = 0; run < 10; ++run) {
      const IndexedArray<std::int32_t> values = p.NonRepeatingNbrs(c.qty, c.min, c.max);
      EXPECT_EQ(p.ErrorMsg(), "");
      ASSERT_EQ(values.Lower(), 1);
      ASSERT_EQ(values.Upper(), c.qty);
      const std::set<std::int32_t> distinct(values.begin(), values.end());
      ASSERT_EQ(distinct.size(), static_cast<std::size_t>(c.qty));
      EXPECT_GE(*distinct.begin(), c.min);
      EXPECT_LE(*distinct.rbegin(), c.max);
    }
  }
}

TEST_F(PrngVexSetsTest, NonRepeatingNbrsShufflesUnlessAskedToSort) {
  PrngVex p(sys, loop);
  for (std::int32_t qty : {2, 25, 26, 3000}) {
    const IndexedArray<std::int32_t> sorted = p.NonRepeatingNbrs(qty, -100, 5000, true);
    std::vector<std::int32_t> v = Values(sorted);
    EXPECT_TRUE(std::is_sorted(v.begin(), v.end())) << qty;
    EXPECT_EQ(std::set<std::int32_t>(v.begin(), v.end()).size(), v.size());
  }
  const std::vector<std::int32_t> all = Values(p.NonRepeatingNbrs(200, 1, 200));
  EXPECT_FALSE(std::is_sorted(all.begin(), all.end()));
  std::vector<std::int32_t> again = Values(p.NonRepeatingNbrs(200, 1, 200));
  EXPECT_NE(all, again) << "each call continues the sequence";
  std::sort(again.begin(), again.end());
  for (std::int32_t k = 0; k < 200; ++k) EXPECT_EQ(again[k], k + 1);
}

TEST_F(PrngVexSetsTest, NonRepeatingNbrsDrawsWithoutReseeding) {
  PrngVex p(sys, loop);
  loop.yields = 0;
  p.NonRepeatingNbrs(10, 1, 50, true);
  EXPECT_EQ(loop.yields, 1) << "one clock reading for the passes, no seeding";
}

}  // namespace
