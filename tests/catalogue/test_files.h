#pragma once
// Real files for tests on both platforms: a temporary folder that
// removes itself, UTF-8 paths, and BMPs of any size.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>

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

}  // namespace test_files
