// The EXIF orientation reader on well-formed, damaged and cut blocks, each in
// a buffer of exactly its size, so a sanitizer sees any read past it (random
// and mutated blocks: the picture header fuzz target). The turns themselves:
// the canvas contract, by pixels.
#include "decode/exif_orientation.h"

#include <gtest/gtest.h>

#include <vector>

#include "render/test_jpeg.h"

namespace {

int Read(const std::string& payload) {
  const std::vector<std::uint8_t> exact(payload.begin(), payload.end());
  return ReadExifOrientation(exact.data(), exact.size());
}

TEST(ExifOrientation, ReadFromIfd0InBothByteOrdersAndOneForAnythingAmiss) {
  for (int o = 1; o <= 8; ++o) {
    EXPECT_EQ(Read(test_jpeg::ExifPayload(o, true)), o);
    EXPECT_EQ(Read(test_jpeg::ExifPayload(o, false)), o);
    EXPECT_EQ(Read(test_jpeg::ExifPayload(o, false).substr(6)), o);  // the TIFF header alone
  }
  const std::string good = test_jpeg::ExifPayload(6);  // IFD0 at 14, its entry at 16, the value at 24
  const auto with = [&](std::size_t at, const std::string& bytes) {
    return std::string(good).replace(at, bytes.size(), bytes);
  };
  const struct {
    std::string payload;
    int expected;
  } cases[] = {
      {with(0, "Exig"), 1},                               // not EXIF (XMP also lives in APP1)
      {with(6, "MI"), 1},                                 // no byte order
      {with(8, std::string("\0\x2B", 2)), 1},             // not TIFF
      {with(10, std::string("\0\0\0\x04", 4)), 1},        // IFD0 inside the TIFF header
      {with(10, std::string("\0\0\0\x1D", 4)), 1},        // IFD0 past the end
      {with(10, std::string("\xFF\xFF\xFF\xFF", 4)), 1},  // offset that wraps
      {with(14, std::string("\xFF\xFF", 2)), 6},          // count past the end: the entries there are read
      {with(14, std::string("\0\0", 2)), 1},              // no entries
      {with(16, std::string("\x01\x13", 2)), 1},          // another tag
      {with(18, std::string("\0\x04", 2)), 1},            // LONG, not SHORT
      {with(20, std::string("\0\0\0\0", 4)), 1},          // no values
      {with(24, std::string("\0\x09", 2)), 1},            // out of range
      {with(24, std::string("\0\0", 2)), 1},
      {good.substr(0, 27), 1},  // entry cut short
      {good.substr(0, 28), 6},  // next-IFD link missing: not needed
      {"", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.payload), c.expected) << testing::PrintToString(c.payload);
  for (std::size_t n = 0; n < good.size(); ++n) EXPECT_GE(Read(good.substr(0, n)), 1) << n;
  EXPECT_EQ(ReadExifOrientation(nullptr, 0), 1);
}

TEST(ExifDateTaken, ReadFromTheExifIfdInBothByteOrdersAndNoneForAnythingAmiss) {
  const struct {
    std::string taken;
    CalendarDate expected;
  } cases[] = {
      {"2023:12:24 18:30:00", {2023, 12, 24}},
      {"2024:02:29 00:00:00", {2024, 2, 29}},
      {"2023:02:29 00:00:00", {}},
      {"2023:13:01 00:00:00", {}},
      {"2023:04:31 00:00:00", {}},
      {"0000:00:00 00:00:00", {}},
      {"2023-12-24 18:30:00", {}},
      {"    :  :     :  :  ", {}},
      {"2023:1", {}},
  };
  for (bool big_endian : {true, false}) {
    for (const auto& c : cases) {
      const std::string payload = test_jpeg::ExifPayload(6, big_endian, c.taken);
      const std::vector<std::uint8_t> exact(payload.begin(), payload.end());
      EXPECT_EQ(ReadExifDateTaken(exact.data(), exact.size()), c.expected) << c.taken;
      EXPECT_EQ(ReadExifDateTaken(exact.data() + 6, exact.size() - 6), c.expected) << "the TIFF header alone";
      EXPECT_EQ(Read(payload), 6) << "the orientation beside it";
      for (std::size_t n = 0; n < payload.size(); ++n)  // cut anywhere: no date or the whole one
        EXPECT_EQ(ReadExifDateTaken(exact.data(), n), n < 81 ? CalendarDate{} : c.expected) << n;
    }
  }
  const std::string no_date = test_jpeg::ExifPayload(1);
  EXPECT_EQ(ReadExifDateTaken(reinterpret_cast<const std::uint8_t*>(no_date.data()), no_date.size()), CalendarDate{});
}

}  // namespace
