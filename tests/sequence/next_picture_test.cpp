#include "sequence/next_picture.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "fakes/fake_ports.h"
#include "sequence/prng_vex.h"

namespace {

class NextPictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    p.fakes.system.tick = 123457;
    s.SharedPrng = std::make_unique<PrngVex>(p.fakes.system, p.fakes.loop);
    s.BuiltinRandom.Reset(-1.0f);
    s.BuiltinRandom.Randomize(4242.5);
    s.CurrentIndex = -1;
  }
  void SetPictures(int count) {
    s.PictureList.assign(count + 100, "");
    for (int i = 0; i < count; ++i) s.PictureList[i] = "pic" + std::to_string(i);
    s.PictureCount = count;
  }
  FakeProgram p;
  ProgramState& s = p.state;
};

// Sequential order from a given index: wrap by subtraction (without
// overflow), empty frames for negative indexes, nothing read past the list.
TEST_F(NextPictureTest, SequentialOrderFromAnyIndex) {
  const struct { int pictures, count, index; std::vector<std::string> shown; int last; } cases[] = {
      {3, 3, -1, {"pic0", "pic1", "pic2", "pic0"}, 0},
      {1, 1, -1, {"pic0", "pic0"}, 0},
      {0, 0, -1, {"", ""}, 1},
      {3, 3, 10, {"pic2", "pic0"}, 0},  // 11 - 3 - 3 - 3 = 2
      {5, 5, -3, {"", "", "pic0"}, 0},  // the back keys went further back than the list
      {2, 500, 300, {""}, 301},         // a count beyond the list's slots
  };
  for (const auto& c : cases) {
    SetPictures(c.pictures);
    s.PictureCount = c.count;
    s.CurrentIndex = c.index;
    std::vector<std::string> got;
    for (std::size_t i = 0; i < c.shown.size(); ++i) got.push_back(NextPicture(s, false));
    EXPECT_EQ(got, c.shown) << c.pictures << " pictures from " << c.index;
    if (c.count > 0) {
      EXPECT_EQ(s.CurrentIndex, c.last);
    }
  }
  SetPictures(3);
  s.CurrentIndex = 2147483646;
  NextPicture(s, false);
  EXPECT_TRUE(s.CurrentIndex >= 0 && s.CurrentIndex < 3);
  SetPictures(0);
  EXPECT_EQ(NextPicture(s, true), "");
}

TEST_F(NextPictureTest, RandomOrderIsAPermutationInEveryPass) {
  SetPictures(17);
  for (int pass = 0; pass < 20; ++pass) {
    std::set<std::string> seen;
    for (int i = 0; i < 17; ++i) seen.insert(NextPicture(s, true));
    EXPECT_EQ(seen.size(), 17u) << "pass " << pass;
    EXPECT_EQ(s.CurrentIndex, 16);
  }
}

TEST_F(NextPictureTest, PictureAppendedMidPassIsEligibleInThatPass) {
  SetPictures(3);
  std::set<std::string> seen{NextPicture(s, true)};
  s.PictureList[3] = "late";
  s.PictureCount = 4;
  for (int i = 0; i < 3; ++i) seen.insert(NextPicture(s, true));
  EXPECT_EQ(seen, (std::set<std::string>{"pic0", "pic1", "pic2", "late"}));
}

TEST_F(NextPictureTest, BackKeyReplaysTheRandomOrder) {
  SetPictures(3);
  std::vector<std::string> shown;
  for (int i = 0; i < 3; ++i) shown.push_back(NextPicture(s, true));
  ASSERT_EQ(s.CurrentIndex, 2);
  s.CurrentIndex -= 2;  // one window: back over the picture on screen and the one before
  EXPECT_EQ(NextPicture(s, false), shown[1]);
}

TEST_F(NextPictureTest, RandomRangeStaysInsideWithTheShapeOfTheMeanOfTwoGenerators) {
  EXPECT_EQ(RandomRange(s, 5, 5), 5);
  std::map<int, int> counts;
  for (int i = 0; i < 40000; ++i) {
    int v = RandomRange(s, 0, 4);
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 4);
    ++counts[v];
  }
  // z is the mean of two uniform draws (PrngVex and the runtime generator),
  // so it is triangular on [0, 1); rounding 4z gives 1/32, 1/4, 7/16, 1/4,
  // 1/32. A single generator would give 1/8, 1/4, 1/4, 1/4, 1/8.
  EXPECT_NEAR(counts[0], 1250, 250);
  EXPECT_NEAR(counts[1], 10000, 600);
  EXPECT_NEAR(counts[2], 17500, 600);
  EXPECT_NEAR(counts[3], 10000, 600);
  EXPECT_NEAR(counts[4], 1250, 250);
}

}  // namespace
