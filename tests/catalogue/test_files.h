#pragma once
// Real files for catalogue tests on both platforms: a temporary folder that
// removes itself, UTF-8 paths, and 1-bit BMPs of any size made in a moment.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace test_files {

namespace fs = std::filesystem;

inline std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}
inline std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }
inline fs::path FromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

struct TempFolder {
  fs::path path = fs::temp_directory_path() / ("glimmora-test-" + std::to_string(std::random_device()()));
  TempFolder() { fs::create_directory(path); }
  ~TempFolder() {
    std::error_code error;
    fs::remove_all(path, error);
  }
};

inline void Write(const std::string& utf8_path, const std::string& bytes) {
  std::ofstream(FromUtf8(utf8_path), std::ios::binary | std::ios::trunc) << bytes;
}
inline std::string Read(const std::string& utf8_path) {
  std::ifstream in(FromUtf8(utf8_path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A black 1-bit BMP of width x height.
inline std::string Bmp(std::uint32_t width, std::uint32_t height) {
  const std::uint32_t data = (width + 31) / 32 * 4 * height;
  std::string b = "BM";
  // File header, info header (one plane, one bit), a black and white palette.
  for (std::uint32_t v : {62 + data, 0u, 62u, 40u, width, height, 0x10001u, 0u, data, 2835u, 2835u, 2u, 0u, 0u,
                          0xFFFFFFu})
    for (int shift = 0; shift < 32; shift += 8) b += static_cast<char>(v >> shift);
  return b + std::string(data, '\0');
}

}  // namespace test_files
