#pragma once
// Real files for catalogue tests on both platforms: a temporary folder that
// removes itself, UTF-8 <-> path conversion, and tiny picture writers (1-bit
// PNG, a placeable WMF) so any size can be made in a moment.
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace test_files {

namespace fs = std::filesystem;

inline std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}
inline std::string Utf8(const char8_t* text) { return std::string(reinterpret_cast<const char*>(text)); }
inline fs::path FromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

// A fresh empty folder under the system's temporary folder.
class TempFolder {
 public:
  TempFolder() {
    std::random_device seed;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      fs::path candidate = fs::temp_directory_path() / ("glimmora-test-" + std::to_string(seed()));
      std::error_code error;
      if (fs::create_directory(candidate, error)) path_ = candidate;
    }
  }
  ~TempFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

inline void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
inline void WriteText(const fs::path& path, const std::string& text) {
  WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

namespace detail {

inline void Be32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}
inline void Le16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Le32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Le16(out, v & 0xFFFF);
  Le16(out, v >> 16);
}

inline std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = crc & 1 ? 0xEDB88320 ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}

inline void Chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
  Be32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  Be32(out, Crc32(out.data() + start, out.size() - start));
}

// zlib stream of stored (uncompressed) deflate blocks.
inline std::vector<std::uint8_t> Stored(const std::vector<std::uint8_t>& raw) {
  std::vector<std::uint8_t> out = {0x78, 0x01};
  std::size_t at = 0;
  do {
    const std::size_t len = std::min<std::size_t>(65535, raw.size() - at);
    out.push_back(at + len == raw.size() ? 1 : 0);
    Le16(out, static_cast<std::uint32_t>(len));
    Le16(out, static_cast<std::uint32_t>(~len & 0xFFFF));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
               raw.begin() + static_cast<std::ptrdiff_t>(at + len));
    at += len;
  } while (at < raw.size());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  Be32(out, b << 16 | a);
  return out;
}

}  // namespace detail

// A black 1-bit greyscale PNG of any size.
inline void WritePng(const fs::path& path, std::uint32_t width, std::uint32_t height) {
  using namespace detail;
  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  Be32(header, width);
  Be32(header, height);
  for (std::uint8_t b : {1, 0, 0, 0, 0}) header.push_back(b);  // depth 1, greyscale, no interlace
  Chunk(out, "IHDR", header);
  const std::size_t row = 1 + (width + 7) / 8;  // filter byte + pixels
  Chunk(out, "IDAT", Stored(std::vector<std::uint8_t>(row * height, 0)));
  Chunk(out, "IEND", {});
  WriteBytes(path, out);
}

// A placeable metafile with an empty picture inside the given bounding box.
inline void WriteWmf(const fs::path& path, std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom,
                     std::uint16_t units_per_inch) {
  using namespace detail;
  std::vector<std::uint8_t> out;
  Le32(out, 0x9AC6CDD7);
  Le16(out, 0);
  for (std::int16_t v : {left, top, right, bottom}) Le16(out, static_cast<std::uint16_t>(v));
  Le16(out, units_per_inch);
  Le32(out, 0);
  std::uint16_t checksum = 0;
  for (std::size_t i = 0; i < 20; i += 2) checksum ^= static_cast<std::uint16_t>(out[i] | out[i + 1] << 8);
  Le16(out, checksum);
  // META_HEADER (9 words), then META_EOF (3 words).
  for (std::uint32_t v : {1u, 9u, 0x300u}) Le16(out, v);
  Le32(out, 12);
  Le16(out, 0);
  Le32(out, 3);
  Le16(out, 0);
  Le32(out, 3);
  Le16(out, 0);
  WriteBytes(path, out);
}

}  // namespace test_files
