#pragma once
// Real files for tests on both platforms: a temporary folder that
// removes itself, UTF-8 paths, BMPs of any size and a metafile.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace test_files {

namespace fs = std::filesystem;

inline std::string Utf8(const fs::path& path) { return reinterpret_cast<const char*>(path.u8string().c_str()); }
inline std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }
inline fs::path FromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

struct TempFolder {
  fs::path path = fs::temp_directory_path() / ("glimmora-test-" + std::to_string(std::random_device()()));
  TempFolder() { fs::create_directory(path); }
  ~TempFolder() { std::error_code ignored; fs::remove_all(path, ignored); }
};

inline void Write(const std::string& utf8_path, const std::string& bytes) {
  std::ofstream(FromUtf8(utf8_path), std::ios::binary | std::ios::trunc) << bytes;
}
inline std::string Read(const std::string& utf8_path) {
  return {std::istreambuf_iterator<char>(std::ifstream(FromUtf8(utf8_path), std::ios::binary).rdbuf()), {}};
}

// A 24-bit BMP of w x h pixels, each colour(x, y) (0xRRGGBB), black without it.
inline std::string Bmp(int w, int h, const std::function<std::uint32_t(int, int)>& colour = {}) {
  const std::uint32_t row = (w * 3 + 3) & ~3, size = row * h;
  std::string b = "BM";
  for (std::uint32_t v : {54 + size, 0u, 54u, 40u, std::uint32_t(w), std::uint32_t(h), 0x180001u, 0u, size, 0u, 0u,
                          0u, 0u})
    for (int shift = 0; shift < 32; shift += 8) b += char(v >> shift);
  if (!colour) return b.append(size, '\0');
  for (int y = h - 1; y >= 0; --y, b.append(row - 3 * w, '\0'))  // bottom-up rows, padded to four bytes
    for (int x = 0; x < w; ++x) {
      const std::uint32_t c = colour(x, y);
      b += {char(c), char(c >> 8), char(c >> 16)};
    }
  return b;
}

// A placeable metafile, 1000 x 1000 units at 1000 an inch: a rectangle over
// all of it filled with colour (0xRRGGBB). size_words, when not 0, replaces
// the size its header gives.
inline std::string Wmf(std::uint32_t colour, std::uint32_t size_words = 0) {
  std::string b;
  auto word = [&b](std::uint32_t v) { b += {char(v), char(v >> 8)}; };
  auto dword = [&](std::uint32_t v) { word(v & 0xFFFF), word(v >> 16); };
  const std::uint16_t placeable[] = {0xCDD7, 0x9AC6, 0, 0, 0, 1000, 1000, 1000, 0, 0};
  std::uint16_t checksum = 0;
  for (std::uint16_t w : placeable) word(w), checksum ^= w;
  word(checksum);
  const std::uint32_t bgr = (colour & 0xFF) << 16 | (colour & 0xFF00) | colour >> 16;
  const std::vector<std::vector<std::uint32_t>> records = {
      {0x020B, 0, 0},                         // window origin
      {0x020C, 1000, 1000},                   // window extent
      {0x02FC, 0, bgr & 0xFFFF, bgr >> 16, 0},  // solid brush
      {0x012D, 0},                            // selected
      {0x041B, 1000, 1000, 0, 0},             // rectangle: bottom, right, top, left
      {0x0000},                               // end
  };
  std::uint32_t words = 9;
  for (const auto& r : records) words += 2 + static_cast<std::uint32_t>(r.size());
  word(1), word(9), word(0x300), dword(size_words ? size_words : words), word(1), dword(7), word(0);
  for (const auto& r : records) {
    dword(2 + static_cast<std::uint32_t>(r.size()));
    for (std::uint32_t v : r) word(v);
  }
  return b;
}

}  // namespace test_files
