// The program's decoders, the same on both platforms: reduced to the target
// (never enlarged), turned upright, truncated files up to where they end,
// CMYK JPEGs in their colours.
#include "decode/picture_decoder.h"

#include <gtest/gtest.h>

#include <array>

#include "catalogue/test_files.h"
#include "decode/bytes_file.h"
#include "render/canvas_contract.h"
#include "render/test_jpeg.h"

namespace {

using namespace canvas_contract;

Pixels Decode(const std::string& bytes, int target_width, int target_height) {
  BytesFile file(bytes);
  const PictureHeader header = ReadPictureHeader(
      [&](std::uint64_t offset, void* buffer, std::size_t size) { return file.ReadAt(offset, buffer, size); });
  return DecodePicture(file, header, target_width, target_height);
}

Colour At(const Pixels& p, int x, int y) { return p.Row(y)[x] & 0xFFFFFF; }

Colour Quadrant(int x, int y, int w, int h) { return y < h / 2 ? (x < w / 2 ? kRed : kGreen) : (x < w / 2 ? kBlue : kYellow); }

TEST(PictureDecoder, ReducedToTheTargetAndTruncatedUpToWhereItEnds) {
  const std::string pictures[] = {test_jpeg::Jpeg(1600, 1200, [](int x, int y) { return Quadrant(x, y, 1600, 1200); }),
                                  Bmp(1600, 1200)};
  for (const std::string& bytes : pictures) {
    for (auto [tw, th, w, h] :
         {std::array{200, 150, 200, 150}, {540, 405, 540, 405}, {3200, 2400, 1600, 1200}, {1600, 50, 1600, 50}}) {
      const Pixels p = Decode(bytes, tw, th);
      ASSERT_FALSE(p.empty()) << bytes.substr(0, 2) << " " << tw;
      EXPECT_EQ(std::pair(p.width(), p.height()), std::pair(w, h));
      for (int q = 0; q < 4; ++q) {
        const int x = (q % 2 * 2 + 1) * w / 4, y = (q / 2 * 2 + 1) * h / 4;
        EXPECT_TRUE(Near(At(p, x, y), Quadrant(x, y, w, h), 24)) << bytes.substr(0, 2) << tw << q;
      }
    }
  }
  const Pixels cut = Decode(pictures[0].substr(0, pictures[0].size() / 3), 1600, 1200);
  ASSERT_FALSE(cut.empty());
  EXPECT_TRUE(Near(At(cut, 400, 100), kRed, 24));
}

// A photo turned a quarter is decoded and reduced as stored, to the target
// turned with it, then turned: exactly the target's size, upright.
TEST(PictureDecoder, QuarterTurnedJpegReducedToTheTargetThenTurned) {
  const Pixels p = Decode(test_jpeg::OrientedJpeg(6, 1600, 1200, [](int x, int y) { return Quadrant(x, y, 1600, 1200); }),
                          540, 405);
  ASSERT_FALSE(p.empty());
  EXPECT_EQ(std::pair(p.width(), p.height()), std::pair(540, 405));
  for (int q = 0; q < 4; ++q) {
    const int x = (q % 2 * 2 + 1) * 135, y = (q / 2 * 2 + 1) * 101;
    EXPECT_TRUE(Near(At(p, x, y), Quadrant(x, y, 540, 405), 24)) << q;
  }
}

// CMYK JPEGs are converted here, Adobe's inverted inks included.
TEST(PictureDecoder, CmykJpegInItsColours) {
  const Pixels p = Decode(test_jpeg::Jpeg(16, 16, [](int, int) { return kBlue; }, {}, test_jpeg::Kind::AdobeCmyk), 16, 16);
  ASSERT_FALSE(p.empty());
  EXPECT_TRUE(Near(At(p, 8, 8), kBlue, 24));
}

}  // namespace
