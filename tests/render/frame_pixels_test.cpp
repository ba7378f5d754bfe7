// The pixel work of animated frames on small frames of both layouts (three
// and four bytes a pixel), at widths that are and are not whole steps of the
// vector code.
#include "render/frame_pixels.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

struct TestFrame {
  TestFrame(int width, int height, int bytes, std::uint8_t fill)
      : memory(static_cast<std::size_t>((width * bytes + 3) / 4 * 4) * height + 16, fill),
        buffer{memory.data(), width, height, (width * bytes + 3) / 4 * 4, bytes} {}
  std::uint32_t At(int x, int y) const {  // 0xRRGGBB
    const std::uint8_t* p = buffer.data + buffer.stride * y + x * buffer.bytes_per_pixel;
    return std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
  }
  void Set(int x, int y, std::uint32_t rgb) {
    std::uint8_t* p = buffer.data + buffer.stride * y + x * buffer.bytes_per_pixel;
    p[0] = static_cast<std::uint8_t>(rgb), p[1] = static_cast<std::uint8_t>(rgb >> 8);
    p[2] = static_cast<std::uint8_t>(rgb >> 16);
  }
  std::vector<std::uint8_t> memory;
  FrameBuffer buffer;
};

// Red rises across, green down, blue constant.
Pixels Ramp(int width, int height) {
  Pixels picture = Pixels::Allocate(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.Row(y)[x] = 0xFF000010u | std::uint32_t(x * 255 / std::max(width - 1, 1)) << 16 | std::uint32_t(y * 40) << 8;
  return picture;
}

TEST(DrawMagnified, CopiesUnmagnifiedAndRampsSmoothlyInBothLayoutsAndCopiesAcross) {
  for (int width : {1, 2, 5, 7, 8, 13}) {
    const Pixels picture = Ramp(width, 3);
    const RectF all{0, 0, float(width), 3};
    for (int bytes : {3, 4}) {
      TestFrame frame(width, 3, bytes, 0x55);
      EXPECT_EQ(DrawMagnified(picture, all, frame.buffer, all), (PixelRect{0, 0, width, 3}));
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < width; ++x) EXPECT_EQ(frame.At(x, y), picture.Row(y)[x] & 0xFFFFFF) << width << " " << x;
    }
    // Magnified threefold, partly off the frame's left edge.
    const int across = 3 * width + 1;
    TestFrame four(across, 9, 4, 0), three(across, 9, 3, 0);
    const RectF shown{-2, 0, float(across + 2), 9};
    for (TestFrame* frame : {&four, &three})
      EXPECT_EQ(DrawMagnified(picture, all, frame->buffer, shown), (PixelRect{0, 0, across, 9}));
    TestFrame copied(across, 9, 4, 0x77);  // the three-byte frame painted through four bytes
    CopyFrame(three.buffer, copied.buffer);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < across; ++x) {
        ASSERT_EQ(four.At(x, y), three.At(x, y)) << width << " at " << x << "," << y;
        ASSERT_EQ(copied.At(x, y), three.At(x, y)) << width << " at " << x << "," << y;
        if (x > 0) EXPECT_GE(four.At(x, y) >> 16, four.At(x - 1, y) >> 16) << width << " at " << x << "," << y;
        EXPECT_EQ(four.At(x, y) & 0xFF, 0x10u);
      }
  }
}

// Text of one colour at one alpha: how a canvas draws it over a background.
struct Ink {
  std::uint32_t rgb;
  int alpha;
};

std::uint8_t Over(std::uint32_t rgb, int alpha, int shift, int background) {
  return static_cast<std::uint8_t>(((rgb >> shift & 0xFF) * alpha + background * (255 - alpha) + 127) / 255);
}

TEST(TextStamp, KeepsColourAndAlphaAndLaysThemOverAnyFrameWithinTheClip) {
  const Ink inks[] = {{0xFFFFFF, 255}, {0xFF0000, 63}, {0x000000, 128}, {0x3366CC, 200}, {0x000000, 255},
                      {0xFFFFFF, 0}};
  for (int bytes : {3, 4}) {
    TestFrame scratch(9, 4, bytes, 0);
    const TextStamp stamp = CaptureText([&](std::uint8_t background) {
      std::fill(scratch.memory.begin(), scratch.memory.end(), background);
      for (int i = 0; i < 6; ++i) {
        std::uint32_t rgb = 0;
        for (int shift : {0, 8, 16}) rgb |= std::uint32_t{Over(inks[i].rgb, inks[i].alpha, shift, background)} << shift;
        scratch.Set(2 + i, 1, rgb);
      }
      return scratch.buffer;
    });
    EXPECT_EQ(stamp.at, (PixelRect{2, 1, 7, 2})) << bytes;  // the last ink draws nothing
    TestFrame frame(9, 4, bytes, 0x80);
    frame.Set(6, 1, 0x20A040);
    DrawStamp(stamp, frame.buffer, PixelRect{3, 0, 9, 4});
    EXPECT_EQ(frame.At(2, 1), 0x808080u) << "outside the clip";
    for (int i = 1; i < 5; ++i) {
      const int under = i == 4 ? 0x20A040 : 0x808080;
      for (int shift : {0, 8, 16})
        EXPECT_NEAR(frame.At(2 + i, 1) >> shift & 0xFF, Over(inks[i].rgb, inks[i].alpha, shift, under >> shift & 0xFF), 2)
            << bytes << " ink " << i << " channel " << shift;
    }
  }
}

}  // namespace
