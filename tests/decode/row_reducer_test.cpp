#include "decode/row_reducer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Feeds a picture whose pixel (x, y) has channel c = value(x, y, c), and
// returns the reducer's output.
template <typename Value>
std::vector<std::uint8_t> Reduce(int sw, int sh, int w, int h, Value value, int* out_w = nullptr,
                                 int* out_h = nullptr) {
  RowReducer reducer(sw, sh, w, h);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(sw) * 4);
  for (int y = 0; y < sh; ++y) {
    for (int x = 0; x < sw; ++x)
      for (int c = 0; c < 4; ++c) row[static_cast<std::size_t>(x) * 4 + c] = static_cast<std::uint8_t>(value(x, y, c));
    reducer.AddRow(row.data());
  }
  if (out_w) *out_w = reducer.width();
  if (out_h) *out_h = reducer.height();
  return reducer.pixels();
}

// Each output pixel averages exactly the source pixels that fall on it,
// each channel apart, rounded to nearest.
TEST(RowReducerTest, EachPixelAveragesItsOwnSourcePixels) {
  struct Case {
    int sw, sh, w, h;
    std::vector<int> first_channel;  // the output's channel 0, row by row
  } cases[] = {
      {4, 4, 2, 2, {6, 8, 26, 28}},        // 2 x 2 blocks: (0 + 1 + 10 + 11) / 4 = 5.5 rounds to 6
      {3, 1, 2, 1, {(0 + 1 + 1) / 2, 2}},  // 3 -> 2: columns 0 and 1 meet, column 2 alone
      {2, 2, 2, 2, {0, 1, 10, 11}},        // same size: a copy
      {4, 1, 8, 3, {0, 1, 2, 3}},          // never enlarged
  };
  for (const Case& c : cases) {
    int w = 0, h = 0;
    const auto out = Reduce(
        c.sw, c.sh, c.w, c.h, [](int x, int y, int ch) { return ch == 0 ? y * 10 + x : 200 + ch; }, &w, &h);
    ASSERT_EQ(static_cast<std::size_t>(w) * h, c.first_channel.size()) << c.sw << "x" << c.sh;
    for (std::size_t i = 0; i < c.first_channel.size(); ++i) {
      EXPECT_EQ(out[i * 4], c.first_channel[i]) << c.sw << "x" << c.sh << " pixel " << i;
      EXPECT_EQ(out[i * 4 + 3], 203) << "channels are averaged apart";
    }
  }
}

// A whole tall picture onto one pixel: the sums outgrow 32 bits.
TEST(RowReducerTest, ManyPixelsOntoOne) {
  const auto out = Reduce(4096, 4200, 1, 1, [](int, int, int) { return 255; });
  EXPECT_EQ(out, (std::vector<std::uint8_t>{255, 255, 255, 255}));
}

}  // namespace
