// Picture sizes read from headers alone, and the pixel budget.
#include "render/picture_header.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

PictureHeader Read(const std::string& file) {
  return ReadPictureHeader([&](std::uint64_t at, void* buffer, std::size_t size) {
    const std::size_t n = at < file.size() ? std::min<std::size_t>(size, file.size() - at) : 0;
    return std::memcpy(buffer, file.data() + std::min<std::size_t>(at, file.size()), n), n;
  });
}

std::string Be32(std::uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }
std::string Segment(char marker, const std::string& body) { return "\xFF" + (marker + Be32(body.size() + 2).substr(2)) + body; }

// Metadata, a fill byte and a Huffman table (not a frame) before the frame (baseline C0, progressive C2).
std::string Jpeg(unsigned w, unsigned h, std::size_t metadata, char frame = '\xC0') {
  return "\xFF\xD8" + Segment('\xE1', std::string(metadata, 0)) + "\xFF" + Segment('\xC4', std::string(20, 0)) +
         Segment(frame, "\x08" + Be32(h << 16 | w) + "\x01\x01\x11") + Segment('\xDA', std::string(10, 0));
}
std::string Png(std::uint32_t w, std::uint32_t h) {
  return std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16) + Be32(w) + Be32(h) + std::string(13, 0);
}
std::string Bmp(std::uint32_t height) {  // 800 wide, rows top-down when the height is negative
  return std::string("BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x20\x03\0\0", 22) + std::string{char(height), char(height >> 8), char(height >> 16), char(height >> 24)} +
         std::string(40, 0);
}

TEST(PictureHeader, SizesOfEachFormatAndNoneOfDamagedHeaders) {
  const std::string wmf = std::string("\xD7\xCD\xC6\x9A\0\0\xF6\xFF\x14\0\x86\x01\x40\x01", 14) + std::string(30, 0);
  const struct { std::string file; PictureFormat format; std::int64_t w, h; } cases[] = {
      {Jpeg(6000, 4000, 100), PictureFormat::Jpeg, 6000, 4000},
      {Jpeg(640, 480, 60000, '\xC2'), PictureFormat::Jpeg, 640, 480},
      {Png(1920, 1080), PictureFormat::Png, 1920, 1080},
      {Bmp(-600), PictureFormat::Bmp, 800, 600},
      {wmf, PictureFormat::Wmf, 400, 300},  // bounding box from (-10, 20) to (390, 320)
      {"not a picture", PictureFormat::Unknown, 0, 0},
      {Jpeg(640, 480, 100).substr(0, 40), PictureFormat::Unknown, 0, 0},
      {"\xFF\xD8" + Segment('\xDA', std::string(10, 0)), PictureFormat::Unknown, 0, 0},  // data before a frame
      {Jpeg(640, 0, 10), PictureFormat::Unknown, 0, 0},  // height defined later
  };
  for (const auto& c : cases) {
    const PictureHeader h = Read(c.file);
    EXPECT_EQ(std::tuple(h.Format, h.Width, h.Height), std::tuple(c.format, c.w, c.h)) << c.file.substr(0, 4);
    EXPECT_EQ(h.Kind == PictureKind::Unknown, c.format == PictureFormat::Unknown);
  }
}

TEST(PictureHeader, BudgetRefusesHugeHeadersWithoutOverflow) {
  EXPECT_TRUE(FitsPictureBudget(Read(Png(8000, 6000))));   // 48 megapixels
  EXPECT_FALSE(FitsPictureBudget(Read(Png(8000, 6251))));  // just over
  EXPECT_FALSE(FitsPictureBudget(Read(Png(0xFFFFFFFFu, 0xFFFFFFFFu))));
  EXPECT_FALSE(FitsPictureBudget(Read(Bmp(0x80000000u))));  // the most negative height
}

}  // namespace
