#include "decode/bmp_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "catalogue/test_files.h"
#include "decode/bytes_file.h"

using namespace std::string_literals;

namespace {

std::string Le(std::uint32_t v, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(i < 4 ? v >> (8 * i) : 0);
  return out;
}

// A BMP with a 40-byte header (or a 56-byte one with an alpha mask), the
// extra bytes after it (palette or masks), and the pixel data as given.
std::string Bmp(int w, int h, int bits, int compression, const std::string& extra, const std::string& data,
                bool with_alpha_mask = false) {
  const int info = with_alpha_mask ? 56 : 40;
  // With the alpha mask, the first 12 extra bytes (the colour masks) sit inside the header.
  const std::uint32_t offset = 14 + info + static_cast<std::uint32_t>(extra.size()) - (with_alpha_mask ? 12 : 0);
  std::string b = "BM" + Le(offset + static_cast<std::uint32_t>(data.size()), 4) + Le(0, 4) + Le(offset, 4);
  b += Le(info, 4) + Le(static_cast<std::uint32_t>(w), 4) + Le(static_cast<std::uint32_t>(h), 4) + Le(1, 2) +
       Le(bits, 2) + Le(compression, 4) + Le(static_cast<std::uint32_t>(data.size()), 4) + Le(0, 16);
  if (with_alpha_mask)
    b += extra.substr(0, 12) + Le(0xFF000000u, 4) + extra.substr(12);
  else
    b += extra;
  return b + data;
}

std::vector<std::uint32_t> Rows(const std::string& bytes, int* w = nullptr, int* h = nullptr) {
  BytesFile file(bytes);
  BmpRowReader bmp(file);
  if (!bmp.ok()) return {};
  if (w) *w = bmp.width();
  if (h) *h = bmp.height();
  std::vector<std::uint32_t> out(static_cast<std::size_t>(bmp.width()) * bmp.height());
  for (int y = 0; y < bmp.height(); ++y) bmp.NextRow(&out[static_cast<std::size_t>(y) * bmp.width()]);
  return out;
}

constexpr std::uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, K = 0xFF000000, W = 0xFFFFFFFF;
const std::string kPalette = Le(0, 4) + Le(0xFF0000, 4) + Le(0x00FF00, 4) + Le(0x0000FF, 4);  // black, red, green, blue

// Every stored layout comes out as the same rows, top row first.
TEST(BmpRowsTest, EachLayoutGivesItsRowsTopFirst) {
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<std::uint32_t> rows;  // 2 x 2 unless said
  } cases[] = {
      {"24-bit, bottom-up",
       test_files::Bmp(2, 2, [](int x, int y) { return y   ? 0x0000FFu
                                                       : x ? 0x00FF00u
                                                           : 0xFF0000u; }),
       {R, G, B, B}},
      {"24-bit, top-down", Bmp(2, -2, 24, 0, "", "\0\0\xff\0\xff\0\0\0\xff\0\0\xff\0\0\0\0"s), {R, G, B, B}},
      {"8-bit palette", Bmp(2, 2, 8, 0, kPalette, "\3\3\0\0\1\2\0\0"s), {R, G, B, B}},
      {"4-bit palette", Bmp(2, 2, 4, 0, kPalette, "\x33\0\0\0\x12\0\0\0"s), {R, G, B, B}},
      {"1-bit palette", Bmp(2, 2, 1, 0, kPalette.substr(0, 8), "\x40\0\0\0\x80\0\0\0"s), {R, K, K, R}},
      {"16-bit, 5 bits a channel", Bmp(2, 1, 16, 0, "", Le(0x7C00, 2) + Le(0x001F, 2)), {R, B}},
      {"32-bit masks with alpha, premultiplied",
       Bmp(2, 1, 32, 3, Le(0xFF0000, 4) + Le(0xFF00, 4) + Le(0xFF, 4), Le(0xFFFFFFFF, 4) + Le(0x80FF0000, 4), true),
       {W, 0x80800000}},
      // Two blues, end of line; a jump one row up; a red, a green; end.
      {"run-length, 8 bits", Bmp(2, 3, 8, 1, kPalette, "\2\3\0\0\0\2\0\1\1\1\1\2\0\1"s), {R, G, K, K, B, B}},
      {"run-length, 8 bits, literal", Bmp(3, 1, 8, 1, kPalette, "\0\3\1\2\3\0\0\1"s), {R, G, B}},
      {"run-length, 4 bits", Bmp(5, 1, 4, 2, kPalette, "\2\x12\0\3\x12\x30\0\1"s), {R, G, R, G, B}},
  };
  for (const Case& c : cases) EXPECT_EQ(Rows(c.bytes), c.rows) << c.what;
}

// What cannot be read gives no rows; a file cut short gives what it holds.
TEST(BmpRowsTest, DamagedFilesNeverReadPastTheirBounds) {
  EXPECT_TRUE(Rows("BM").empty());
  EXPECT_TRUE(Rows(test_files::Bmp(2, 2).replace(0, 2, "XX")).empty());
  EXPECT_TRUE(Rows(Bmp(100000, 100000, 24, 0, "", "")).empty()) << "over the pixel budget";
  EXPECT_TRUE(Rows(Bmp(2, 2, 8, 4, kPalette, "")).empty()) << "a JPEG inside a BMP";
  EXPECT_TRUE(Rows(Bmp(2, -2, 8, 1, kPalette, "")).empty()) << "run lengths top-down";
  const std::string bmp = test_files::Bmp(2, 2, [](int, int) { return 0xFF0000u; });
  EXPECT_EQ(Rows(bmp.substr(0, bmp.size() - 8)), (std::vector<std::uint32_t>{0, 0, R, R})) << "bottom row only";
  EXPECT_EQ(Rows(Bmp(2, 2, 8, 1, kPalette, "\x7f\1\0\2\xff\xff"s)), (std::vector<std::uint32_t>{K, K, R, R}))
      << "runs past the row and a jump off the picture";
}

// Jumps of 255 columns, 16,843,009 of them (67 MB), reach 2^32 - 1: a column
// kept in 32 bits turns to -1 and the red run after them lands in the row
// above.
TEST(BmpRowsTest, JumpsFarPastTheRowEndWriteNothing) {
  std::string bmp = Bmp(4, 2, 8, 1, kPalette, "");
  bmp.reserve(bmp.size() + 16'843'010 * 4);
  for (int i = 0; i < 16'843'009; ++i) bmp.append("\0\2\xff\0", 4);
  EXPECT_EQ(Rows(bmp + "\1\1\0\1"s), std::vector<std::uint32_t>(8, K));
}

}  // namespace
