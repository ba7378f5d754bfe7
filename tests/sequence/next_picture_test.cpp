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

TEST_F(NextPictureTest, SequentialWrapsAround) {
  SetPictures(3);
  std::vector<std::string> got;
  for (int i = 0; i < 7; ++i) got.push_back(NextPicture(s, false));
  EXPECT_EQ(got, (std::vector<std::string>{"pic0", "pic1", "pic2", "pic0", "pic1", "pic2", "pic0"}));
  EXPECT_EQ(s.CurrentIndex, 0);
}

TEST_F(NextPictureTest, OnePictureInBothOrders) {
  SetPictures(1);
  for (bool random : {false, true})
    for (int i = 0; i < 5; ++i) EXPECT_EQ(NextPicture(s, random), "pic0");
}

TEST_F(NextPictureTest, NoPictureToTakeGivesEmptyPath) {
  SetPictures(0);
  EXPECT_EQ(NextPicture(s, true), "");
  EXPECT_EQ(NextPicture(s, false), "");
  SetPictures(2);
  s.PictureCount = 500;  // a count beyond the list's slots: nothing is read past them
  s.CurrentIndex = 300;
  EXPECT_EQ(NextPicture(s, true), "");
  EXPECT_EQ(NextPicture(s, false), "");
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

TEST_F(NextPictureTest, RandomOrderShowsEachPictureAtItsOwnPosition) {
  SetPictures(9);
  for (int i = 0; i < 9; ++i) {
    std::string shown = NextPicture(s, true);
    EXPECT_EQ(s.PictureList[s.CurrentIndex], shown);
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

TEST_F(NextPictureTest, IndexBeyondARebuiltListWrapsBySubtraction) {
  SetPictures(3);
  s.CurrentIndex = 10;  // 11 - 3 - 3 - 3 = 2
  EXPECT_EQ(NextPicture(s, false), "pic2");
  s.CurrentIndex = 2147483646;  // no overflow on the way
  NextPicture(s, false);
  EXPECT_GE(s.CurrentIndex, 0);
  EXPECT_LT(s.CurrentIndex, 3);
}

TEST_F(NextPictureTest, NegativeIndexReplaysEmptyFramesFirst) {
  SetPictures(5);
  s.CurrentIndex = -3;
  EXPECT_EQ(NextPicture(s, false), "");
  EXPECT_EQ(s.CurrentIndex, -2);
  EXPECT_EQ(NextPicture(s, true), "");
  EXPECT_EQ(s.CurrentIndex, -1);
  EXPECT_EQ(NextPicture(s, false), "pic0");
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
