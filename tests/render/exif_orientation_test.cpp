// The EXIF orientation reader on well-formed, damaged, random and mutated
// blocks (each in a buffer of exactly its size, so a sanitizer sees any read
// past it), and the two forms of the turn the canvases use.
#include "render/exif_orientation.h"

#include <gtest/gtest.h>

#include <random>
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
  }
  const std::string good = test_jpeg::ExifPayload(6);  // IFD0 at 14, its entry at 16, the value at 24
  const auto with = [&](std::size_t at, const std::string& bytes) {
    return std::string(good).replace(at, bytes.size(), bytes);
  };
  const struct { std::string payload; int expected; } cases[] = {
      {with(0, "Exig"), 1},                                 // not EXIF (XMP also lives in APP1)
      {with(6, "MI"), 1},                                   // no byte order
      {with(8, std::string("\0\x2B", 2)), 1},               // not TIFF
      {with(10, std::string("\0\0\0\x04", 4)), 1},          // IFD0 inside the TIFF header
      {with(10, std::string("\0\0\0\x1D", 4)), 1},          // IFD0 past the end
      {with(10, std::string("\xFF\xFF\xFF\xFF", 4)), 1},    // offset that wraps
      {with(14, std::string("\xFF\xFF", 2)), 6},            // count past the end: the entries there are read
      {with(14, std::string("\0\0", 2)), 1},                // no entries
      {with(16, std::string("\x01\x13", 2)), 1},            // another tag
      {with(18, std::string("\0\x04", 2)), 1},              // LONG, not SHORT
      {with(20, std::string("\0\0\0\0", 4)), 1},            // no values
      {with(24, std::string("\0\x09", 2)), 1},              // out of range
      {with(24, std::string("\0\0", 2)), 1},
      {good.substr(0, 27), 1},                              // entry cut short
      {good.substr(0, 28), 6},                              // next-IFD link missing: not needed
      {"", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.payload), c.expected) << testing::PrintToString(c.payload);
  for (std::size_t n = 0; n < good.size(); ++n) EXPECT_GE(Read(good.substr(0, n)), 1) << n;
  EXPECT_EQ(ReadExifOrientation(nullptr, 0), 1);
}

// Deterministic fuzzing: random blocks, and valid ones with bytes changed,
// cut or grown. Any answer must be 1..8 and no read may leave the buffer.
TEST(ExifOrientation, RandomAndMutatedBlocksNeverReadOutsideOrAnswerOutOfRange) {
  std::mt19937 random(18);
  const auto byte = [&] { return char(random() & 0xFF); };
  for (int round = 0; round < 20000; ++round) {
    std::string payload;
    if (round % 4 == 0) {
      payload = std::string("Exif\0\0", 6) + (random() & 1 ? "MM" : "II");
      for (std::size_t n = random() % 64; n > 0; --n) payload += byte();
    } else {
      payload = test_jpeg::ExifPayload(int(random() % 10), random() & 1);
      for (int edits = 1 + random() % 4; edits > 0; --edits) {
        const std::size_t at = random() % payload.size();
        switch (random() % 4) {
          case 0: payload[at] = byte(); break;
          case 1: payload[at] = char(payload[at] ^ (1 << random() % 8)); break;
          case 2: payload.resize(at); break;
          default: payload.insert(at, 1 + random() % 16, byte());
        }
        if (payload.empty()) break;
      }
    }
    const int o = Read(payload);
    ASSERT_TRUE(o >= 1 && o <= 8) << round;
  }
}

// GDI+ turns by RotateFlipType (TurnOf), the Cairo canvas maps pixels
// (StoredPosition): on a 3 x 2 picture both must give EXIF's upright picture.
TEST(ExifOrientation, TurnAndPixelMapAgreeWithEachOrientation) {
  constexpr int kW = 3, kH = 2;  // stored
  for (int o = 1; o <= 8; ++o) {
    const bool swap = SwapsSides(o);
    EXPECT_EQ(swap, o >= 5);
    const int uw = swap ? kH : kW, uh = swap ? kW : kH;
    // The picture as TurnOf turns it: the stored pixel index at each upright place.
    std::vector<int> turned(kW * kH);
    int w = kW, h = kH;
    for (int i = 0; i < kW * kH; ++i) turned[i] = i;
    const OrientationTurn turn = TurnOf(o);
    for (int q = 0; q < turn.clockwise_quarters; ++q) {
      std::vector<int> next(turned.size());
      for (int y = 0; y < w; ++y)
        for (int x = 0; x < h; ++x) next[y * h + x] = turned[(h - 1 - x) * w + y];
      turned = next;
      std::swap(w, h);
    }
    if (turn.mirror)
      for (int y = 0; y < h; ++y) std::reverse(turned.begin() + y * w, turned.begin() + (y + 1) * w);
    ASSERT_EQ(std::pair(w, h), std::pair(uw, uh)) << o;
    for (int sy = 0; sy < kH; ++sy)
      for (int sx = 0; sx < kW; ++sx) {
        const test_jpeg::Position u = test_jpeg::UprightOf(o, sx, sy, uw, uh);
        EXPECT_EQ(turned[u.y * uw + u.x], sy * kW + sx) << "TurnOf, orientation " << o;
        const PixelPosition s = StoredPosition(o, u.x, u.y, kW, kH);
        EXPECT_EQ(std::pair(s.x, s.y), std::pair(sx, sy)) << "StoredPosition, orientation " << o;
      }
  }
}

}  // namespace
