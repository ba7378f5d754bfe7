#include "sequence/picture_order.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "fakes/fake_services.h"

namespace {

struct PictureOrderTest : ::testing::Test {
  void SetUp() override {
    s.fakes.system.tick = 123457;
    s.fakes.system.seconds = 4242.5;
    s.order.Seed();
  }
  std::string Next(bool random) { return s.order.Next(random); }
  static std::string Pic(int i) { return FakeShow::Picture(i); }
  FakeShow s;
};

// Sequential order from a given index: wrap by subtraction (without
// overflow), empty frames for negative indexes.
TEST_F(PictureOrderTest, SequentialOrderFromAnyIndex) {
  const struct { int pictures, index; std::vector<std::string> shown; int last; } cases[] = {
      {3, -1, {Pic(0), Pic(1), Pic(2), Pic(0)}, 0},
      {1, -1, {Pic(0), Pic(0)}, 0},
      {0, -1, {"", ""}, -1},
      {3, 10, {Pic(2), Pic(0)}, 0},  // 11 - 3 - 3 - 3 = 2
      {5, -3, {"", "", Pic(0)}, 0},  // the back keys went further back than the list
      {3, 2147483646, {Pic(1)}, 1},   // 2147483647 - 3 * 715827882
  };
  for (const auto& c : cases) {
    FakeShow show;
    show.SetPictures(c.pictures);
    show.order.SetCurrentIndex(c.index);
    std::vector<std::string> got;
    for (std::size_t i = 0; i < c.shown.size(); ++i) got.push_back(show.order.Next(false));
    EXPECT_EQ(got, c.shown) << c.pictures << " pictures from " << c.index;
    EXPECT_EQ(show.order.CurrentIndex(), c.last);
  }
  EXPECT_EQ(Next(true), "");
}

TEST_F(PictureOrderTest, PictureListedMidPassIsEligibleInThatPassAndBackReplaysTheOrder) {
  s.settings.include_folders = "C:\\p\\\r\nC:\\q\\";
  for (const std::string& path : {Pic(0), Pic(1), Pic(2), std::string("C:\\q\\late.jpg")}) s.fakes.files.Make(path);
  s.catalogue.Seed();
  s.catalogue.BeginWalk();
  s.WalkUntil(3);
  std::vector<std::string> shown{Next(true)};
  s.fakes.loop.RunPosted();
  for (int i = 0; i < 3; ++i) shown.push_back(Next(true));
  EXPECT_EQ(std::set(shown.begin(), shown.end()), (std::set<std::string>{Pic(0), Pic(1), Pic(2), "C:\\q\\late.jpg"}));
  s.order.SetCurrentIndex(s.order.CurrentIndex() - 2);  // one window: back over the picture on screen
  EXPECT_EQ(Next(false), shown[2]);
}

// A place before the list's start (the back keys went further back than the
// list is long) uses up its random draw like any other: the order goes on as
// if those places had been drawn.
TEST_F(PictureOrderTest, APlaceBeforeTheListStillDraws) {
  s.SetPictures(5);
  FakeShow twin;
  twin.fakes.system = s.fakes.system;
  twin.order.Seed();
  twin.SetPictures(5);
  s.order.SetCurrentIndex(-3);
  EXPECT_EQ(Next(true) + Next(true), "");
  for (int draw = 0; draw < 2; ++draw) twin.order.RandomRange(0, 4);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Next(true), twin.order.Next(true)) << i;
}

TEST_F(PictureOrderTest, RandomRangeStaysInsideWithTheShapeOfTheMeanOfTwoGenerators) {
  EXPECT_EQ(s.order.RandomRange(5, 5), 5);
  std::map<int, int> counts;
  for (int i = 0; i < 40000; ++i) {
    int v = s.order.RandomRange(0, 4);
    ASSERT_TRUE(v >= 0 && v <= 4) << v;
    ++counts[v];
  }
  // z is the mean of two uniform draws (UniversalRandom and LcgRandom), so
  // it is triangular on [0, 1); rounding 4z gives 1/32, 1/4, 7/16, 1/4,
  // 1/32. A single generator would give 1/8, 1/4, 1/4, 1/4, 1/8.
  const int expected[] = {1250, 10000, 17500, 10000, 1250};
  for (int v = 0; v < 5; ++v) EXPECT_NEAR(counts[v], expected[v], v % 4 ? 600 : 250) << v;
}

}  // namespace
