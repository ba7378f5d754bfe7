#pragma once
// JPEGs for tests on both platforms, written here (Wine has no encoder
// library for the tests): baseline, 4:4:4, every 8 x 8 block one flat colour,
// so a decoder at any DCT scale gives the exact colours; and EXIF blocks with
// an orientation.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>

namespace test_jpeg {

// The payload of an EXIF APP1 segment: IFD0 with the orientation tag alone,
// in big-endian ("MM") or little-endian ("II") order.
inline std::string ExifPayload(int orientation, bool big_endian = true, const std::string& taken = {}) {
  std::string s("Exif\0\0", 6);
  s += big_endian ? "MM" : "II";
  const auto put = [&](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s += char(v >> 8 * (big_endian ? bytes - 1 - i : i));
  };
  put(42, 2), put(8, 4);                                                       // IFD0 right after the header
  put(taken.empty() ? 1 : 2, 2), put(0x0112, 2), put(3, 2), put(1, 4), put(orientation, 2), put(0, 2);  // a SHORT
  if (!taken.empty()) put(0x8769, 2), put(4, 2), put(1, 4), put(38, 4);        // the Exif IFD at 38
  put(0, 4);                                                                   // no next IFD
  if (!taken.empty()) {  // DateTimeOriginal, its 20 characters at 56
    put(1, 2), put(0x9003, 2), put(2, 2), put(20, 4), put(56, 4), put(0, 4);
    s += (taken + std::string(20, '\0')).substr(0, 20);
  }
  return s;
}

// Progressive: its first scan only (every block's colour, no detail).
// AdobeCmyk: four inks, stored inverted as Adobe's programs do.
enum class Kind { Baseline, Progressive, AdobeCmyk };

// A w x h JPEG; block (bx, by) is colour(8 bx, 8 by) (0xRRGGBB), grey without
// it. app1: the payload of an APP1 segment right after the start marker.
inline std::string Jpeg(int w, int h, const std::function<std::uint32_t(int, int)>& colour = {},
                        const std::string& app1 = {}, Kind kind = Kind::Baseline) {
  const bool progressive = kind == Kind::Progressive, cmyk = kind == Kind::AdobeCmyk;
  const char colours = cmyk ? 4 : 3;
  std::string out = "\xFF\xD8";
  const auto segment = [&](char marker, const std::string& body) {
    out += {'\xFF', marker, char((body.size() + 2) >> 8), char(body.size() + 2)};
    out += body;
  };
  if (!app1.empty()) segment('\xE1', app1);
  segment('\xDB', '\0' + std::string(64, 8));  // divisor 8: a flat block's DC is its level - 128
  if (cmyk) segment('\xEE', std::string("Adobe\0\x64\0\0\0\0\0", 12));  // no colour transform
  std::string frame = {8, char(h >> 8), char(h), char(w >> 8), char(w), colours}, scan = {colours};
  for (char c = 1; c <= colours; ++c) frame += {c, 0x11, 0}, scan += {c, 0};
  segment(progressive ? '\xC2' : '\xC0', frame);
  // DC: the difference's bit count k has the 4-bit code k. AC: the end of block alone, code "0".
  std::string dc = {0, 0, 0, 0, 12};
  dc.append(12, 0);
  for (char k = 0; k < 12; ++k) dc += k;
  segment('\xC4', dc);
  segment('\xC4', std::string{0x10, 1} + std::string(16, 0));
  segment('\xDA', scan + std::string{0, char(progressive ? 0 : 63), 0});
  std::uint32_t bits = 0;
  int count = 0;
  const auto emit = [&](std::uint32_t value, int n) {
    for (int i = n - 1; i >= 0; --i) {
      bits = (bits << 1 | (value >> i & 1)) & 0xFF;
      if (++count < 8) continue;
      out += char(bits);
      if (bits == 0xFF) out += '\0';  // stuffed, not a marker
      bits = count = 0;
    }
  };
  int previous[4] = {};
  for (int by = 0; by < (h + 7) / 8; ++by)
    for (int bx = 0; bx < (w + 7) / 8; ++bx) {
      const std::uint32_t c = colour ? colour(bx * 8, by * 8) : 0x808080;
      const double r = c >> 16 & 0xFF, g = c >> 8 & 0xFF, b = c & 0xFF;
      const double ycc[4] = {0.299 * r + 0.587 * g + 0.114 * b, -0.168736 * r - 0.331264 * g + 0.5 * b + 128,
                             0.5 * r - 0.418688 * g - 0.081312 * b + 128};
      const double inks[4] = {r, g, b, 255};  // inverted: red is all cyan (none) times all black (none)
      for (int k = 0; k < colours; ++k) {
        const int level = std::clamp(int(std::lround(cmyk ? inks[k] : ycc[k])), 0, 255) - 128;
        const int diff = level - previous[k];
        previous[k] = level;
        int size = 0;
        while (std::abs(diff) >> size) ++size;
        emit(size, 4);
        emit(diff < 0 ? diff + (1 << size) - 1 : diff, size);  // negative: one's complement
        if (!progressive) emit(0, 1);
      }
    }
  if (count) emit(0xFF, 8 - count);  // padded with ones
  return out + "\xFF\xD9";
}

// Where the stored pixel (x, y) shows in the upright picture of upright_w x
// upright_h, in EXIF's own terms: for each orientation, which side of the
// upright picture the stored first row and first column are.
struct Position {
  int x, y;
};
inline Position UprightOf(int orientation, int x, int y, int upright_w, int upright_h) {
  // {first row on a side (left/right), not a top/bottom; first row at the far side; first column at the far side}
  static const bool sides[9][3] = {{},        {0, 0, 0}, {0, 0, 1}, {0, 1, 1}, {0, 1, 0},
                                   {1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}};
  const bool* s = sides[orientation];
  if (!s[0]) return {s[2] ? upright_w - 1 - x : x, s[1] ? upright_h - 1 - y : y};
  return {s[1] ? upright_w - 1 - y : y, s[2] ? upright_h - 1 - x : x};
}

// A JPEG stored in the given orientation whose upright picture, of
// upright_w x upright_h, is colour(x, y) (sampled per 8 x 8 block).
inline std::string OrientedJpeg(int orientation, int upright_w, int upright_h,
                                const std::function<std::uint32_t(int, int)>& colour, bool big_endian = true) {
  const bool swap = orientation >= 5;
  return Jpeg(
      swap ? upright_h : upright_w, swap ? upright_w : upright_h,
      [&](int x, int y) {
        const Position p = UprightOf(orientation, x, y, upright_w, upright_h);
        return colour(p.x, p.y);
      },
      ExifPayload(orientation, big_endian));
}

}  // namespace test_jpeg
