// Picture sizes read from headers alone, and the pixel budget.
#include "render/picture_header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

PictureHeader Read(const Bytes& file) {
  return ReadPictureHeader([&](std::uint64_t offset, void* buffer, std::size_t size) -> std::size_t {
    if (offset >= file.size()) return 0;
    const std::size_t n = std::min<std::size_t>(size, file.size() - offset);
    std::memcpy(buffer, file.data() + offset, n);
    return n;
  });
}

// Byte by byte: GCC 12 warns falsely about vector range inserts here.
void Put(Bytes& b, std::initializer_list<unsigned> bytes) {
  for (unsigned v : bytes) b.push_back(static_cast<std::uint8_t>(v));
}
void Put(Bytes& b, const Bytes& bytes) {
  for (std::uint8_t v : bytes) b.push_back(v);
}
void Be16(Bytes& b, unsigned v) { Put(b, {v >> 8, v & 0xFF}); }
void Le16(Bytes& b, unsigned v) { Put(b, {v & 0xFF, (v >> 8) & 0xFF}); }
void Le32(Bytes& b, std::uint32_t v) { Le16(b, v & 0xFFFF), Le16(b, v >> 16); }
void Be32(Bytes& b, std::uint32_t v) { Be16(b, v >> 16), Be16(b, v & 0xFFFF); }

void Segment(Bytes& b, std::uint8_t marker, const Bytes& body) {
  Put(b, {0xFF, marker});
  Be16(b, static_cast<unsigned>(body.size() + 2));
  Put(b, body);
}

Bytes Jpeg(unsigned width, unsigned height, std::size_t exifBytes, std::uint8_t sof = 0xC0) {
  Bytes b{0xFF, 0xD8};
  Segment(b, 0xE0, Bytes(14, 0));         // JFIF
  Segment(b, 0xE1, Bytes(exifBytes, 0));  // metadata, skipped by its length
  b.push_back(0xFF);                      // a fill byte
  Segment(b, 0xC4, Bytes(20, 0));         // a Huffman table is not a frame
  Bytes frame{8};
  Be16(frame, height);
  Be16(frame, width);
  Put(frame, {3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1});
  Segment(b, sof, frame);
  Segment(b, 0xDA, Bytes(10, 0));
  return b;
}

Bytes Png(std::uint32_t width, std::uint32_t height) {
  Bytes b{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Be32(b, 13);
  Put(b, {'I', 'H', 'D', 'R'});
  Be32(b, width);
  Be32(b, height);
  Put(b, {8, 2, 0, 0, 0, 0, 0, 0, 0});
  return b;
}

Bytes Bmp(std::uint32_t info, std::int32_t width, std::int32_t height) {
  Bytes b{'B', 'M'};
  Le32(b, 0), Le32(b, 0), Le32(b, 54), Le32(b, info);
  if (info == 12) {
    Le16(b, width), Le16(b, height);
  } else {
    Le32(b, static_cast<std::uint32_t>(width)), Le32(b, static_cast<std::uint32_t>(height));
  }
  b.resize(64, 0);
  return b;
}

TEST(PictureHeader, RasterSizes) {
  struct Case {
    const char* name;
    Bytes file;
    PictureFormat format;
    std::int64_t width, height;
  } cases[] = {
      {"jpeg baseline", Jpeg(6000, 4000, 100), PictureFormat::Jpeg, 6000, 4000},
      {"jpeg progressive after large metadata", Jpeg(640, 480, 60000, 0xC2), PictureFormat::Jpeg, 640, 480},
      {"png", Png(1920, 1080), PictureFormat::Png, 1920, 1080},
      {"gif", Bytes{'G', 'I', 'F', '8', '9', 'a', 0x80, 0x02, 0xE0, 0x01, 0, 0}, PictureFormat::Gif, 640, 480},
      {"bmp bottom-up", Bmp(40, 800, 600), PictureFormat::Bmp, 800, 600},
      {"bmp top-down", Bmp(124, 800, -600), PictureFormat::Bmp, 800, 600},
      {"bmp os/2", Bmp(12, 320, 200), PictureFormat::Bmp, 320, 200},
  };
  for (const Case& c : cases) {
    const PictureHeader h = Read(c.file);
    EXPECT_EQ(h.Kind, PictureKind::Raster) << c.name;
    EXPECT_EQ(h.Format, c.format) << c.name;
    EXPECT_EQ(h.Width, c.width) << c.name;
    EXPECT_EQ(h.Height, c.height) << c.name;
  }
}

TEST(PictureHeader, DamagedOrUnknownHeadersAreUnknown) {
  Bytes truncatedJpeg = Jpeg(640, 480, 100);
  truncatedJpeg.resize(40);
  Bytes dataBeforeFrame{0xFF, 0xD8};
  Segment(dataBeforeFrame, 0xDA, Bytes(10, 0));
  Bytes badLength{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x01};
  const Bytes cases[] = {
      Bytes{},           Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'},
      truncatedJpeg,     dataBeforeFrame,
      badLength,         Jpeg(640, 0, 10),  // height defined later in the file: not supported
      Png(0, 100),       Bmp(40, 0, 0),
      Bmp(16, 100, 100),  // unknown info header size
  };
  for (const Bytes& file : cases) EXPECT_EQ(Read(file).Kind, PictureKind::Unknown);
}

TEST(PictureHeader, Metafiles) {
  Bytes placeable;  // bounding box from (-10, 20) to (390, 320)
  Le32(placeable, 0x9AC6CDD7u);
  for (unsigned v : {0u, 0xFFF6u, 20u, 390u, 320u, 1440u}) Le16(placeable, v);
  placeable.resize(40, 0);
  const PictureHeader wmf = Read(placeable);
  EXPECT_EQ(wmf.Kind, PictureKind::Metafile);
  EXPECT_EQ(wmf.Format, PictureFormat::Wmf);
  EXPECT_EQ(wmf.Width, 400);
  EXPECT_EQ(wmf.Height, 300);

  Bytes emf;
  Le32(emf, 1);
  emf.resize(40, 0);
  Le32(emf, 0x464D4520u);
  EXPECT_EQ(Read(emf).Format, PictureFormat::Emf);
  EXPECT_TRUE(FitsPictureBudget(Read(emf)));  // no pixel buffer of a header's size
}

TEST(PictureHeader, BudgetRefusesHugeHeadersWithoutOverflow) {
  EXPECT_TRUE(FitsPictureBudget(Read(Png(8000, 6000))));   // 48 megapixels
  EXPECT_FALSE(FitsPictureBudget(Read(Png(8000, 6251))));  // just over
  EXPECT_FALSE(FitsPictureBudget(Read(Jpeg(50000, 50000, 0))));
  EXPECT_FALSE(FitsPictureBudget(Read(Png(0xFFFFFFFFu, 0xFFFFFFFFu))));
  EXPECT_FALSE(FitsPictureBudget(Read(Bmp(40, 100, INT32_MIN))));  // most negative height, top-down
  EXPECT_FALSE(FitsPictureBudget(Read(Bytes{'x'})));               // unknown: nothing to go by
}

}  // namespace
