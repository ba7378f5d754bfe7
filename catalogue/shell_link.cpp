#include "catalogue/shell_link.h"

#include <array>
#include <cstring>

#include "platform/byte_reader.h"

namespace {

constexpr std::uint32_t kHeaderSize = 0x4C;
constexpr std::array<std::uint8_t, 16> kShellLinkClsid = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
// LinkFlags.
constexpr std::uint32_t kHasTargetIdList = 0x01;
constexpr std::uint32_t kHasLinkInfo = 0x02;
constexpr std::uint32_t kHasName = 0x04;
constexpr std::uint32_t kHasRelativePath = 0x08;
constexpr std::uint32_t kIsUnicode = 0x80;
constexpr std::uint32_t kForceNoLinkInfo = 0x100;
// LinkInfoFlags.
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x01;

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Windows-1252 bytes 0x80..0x9F; the rest of the code page is Latin-1.
constexpr std::array<std::uint16_t, 32> kCp1252High = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                                       0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

std::string AnsiToUtf8(ByteReader& b, std::size_t at, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t c = b.U8(at + i);
    AppendUtf8(out, c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c);
  }
  return out;
}

// UTF-16LE code units; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(ByteReader& b, std::size_t at, std::size_t units) {
  std::string out;
  for (std::size_t i = 0; i < units; ++i) {
    std::uint32_t cp = b.U16(at + 2 * i);
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < units) {
      const std::uint32_t low = b.U16(at + 2 * (i + 1));
      if (low >= 0xDC00 && low < 0xE000) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (cp >= 0xD800 && cp < 0xE000) cp = 0xFFFD;
    AppendUtf8(out, cp);
  }
  return out;
}

// A NUL-terminated string inside [begin, end); nullopt when unterminated.
std::optional<std::string> AnsiZ(ByteReader& b, std::size_t at, std::size_t end) {
  for (std::size_t i = at; i < end; ++i)
    if (b.U8(i) == 0) return AnsiToUtf8(b, at, i - at);
  return std::nullopt;
}

std::optional<std::string> Utf16Z(ByteReader& b, std::size_t at, std::size_t end) {
  for (std::size_t i = at; i + 1 < end; i += 2)
    if (b.U16(i) == 0) return Utf16ToUtf8(b, at, (i - at) / 2);
  return std::nullopt;
}

// LinkInfo: local base path + common path suffix, Unicode forms preferred.
std::string ReadLocalPath(ByteReader& b, std::size_t at) {
  if (!b.Holds(at, 0x1C)) return {};
  const std::uint32_t total = b.U32(at);
  const std::uint32_t header = b.U32(at + 4);
  const std::uint32_t flags = b.U32(at + 8);
  if (total < 0x1C || header < 0x1C || header > total || !b.Holds(at, total)) return {};
  if (!(flags & kVolumeIdAndLocalBasePath)) return {};
  const std::size_t end = at + total;
  const std::uint32_t base_off = b.U32(at + 16);
  const std::uint32_t suffix_off = b.U32(at + 24);
  if (header >= 0x24) {
    const std::uint32_t base_w = b.U32(at + 28);
    const std::uint32_t suffix_w = b.U32(at + 32);
    if (base_w >= header && base_w < total) {
      auto base = Utf16Z(b, at + base_w, end);
      auto suffix = suffix_w >= header && suffix_w < total ? Utf16Z(b, at + suffix_w, end) : std::string();
      if (base && suffix) return *base + *suffix;
    }
  }
  if (base_off < header || base_off >= total) return {};
  auto base = AnsiZ(b, at + base_off, end);
  auto suffix = suffix_off >= header && suffix_off < total ? AnsiZ(b, at + suffix_off, end) : std::string();
  if (!base || !suffix) return {};
  return *base + *suffix;
}

// One StringData entry: a 16-bit character count, then the characters.
bool ReadCountedString(ByteReader& b, std::size_t& at, bool unicode, std::string* out) {
  if (!b.Holds(at, 2)) return false;
  const std::size_t count = b.U16(at);
  const std::size_t bytes = unicode ? count * 2 : count;
  if (!b.Holds(at + 2, bytes)) return false;
  if (out) *out = unicode ? Utf16ToUtf8(b, at + 2, count) : AnsiToUtf8(b, at + 2, count);
  at += 2 + bytes;
  return true;
}

}  // namespace

std::optional<ShellLinkPaths> ParseShellLink(const std::uint8_t* data, std::size_t size) {
  ByteReader b(data, size);
  if (!data || !b.Holds(0, kHeaderSize) || b.U32(0) != kHeaderSize) return std::nullopt;
  if (std::memcmp(data + 4, kShellLinkClsid.data(), kShellLinkClsid.size()) != 0) return std::nullopt;
  const std::uint32_t flags = b.U32(20);
  std::size_t at = kHeaderSize;
  if (flags & kHasTargetIdList) {
    if (!b.Holds(at, 2)) return std::nullopt;
    at += 2 + b.U16(at);
  }
  ShellLinkPaths paths;
  if (flags & kHasLinkInfo) {
    if (!b.Holds(at, 4)) return std::nullopt;
    if (!(flags & kForceNoLinkInfo)) paths.local_path = ReadLocalPath(b, at);
    const std::uint32_t info_size = b.U32(at);
    if (info_size < 4 || !b.Holds(at, info_size)) return paths;
    at += info_size;
  }
  const bool unicode = flags & kIsUnicode;
  if (flags & kHasName && !ReadCountedString(b, at, unicode, nullptr)) return paths;
  if (flags & kHasRelativePath) ReadCountedString(b, at, unicode, &paths.relative_path);
  return paths;
}

namespace {

std::string Slashes(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::string LinkPathToPosix(const std::string& path, const std::string& base_folder,
                            const std::function<std::string(char)>& drive_root) {
  if (path.empty() || path.find('\0') != std::string::npos) return {};
  if (path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/')) return {};
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':') {
    if (path.size() > 2 && path[2] != '\\' && path[2] != '/') return {};  // drive-relative: no meaning here
    std::string root = drive_root(static_cast<char>(path[0] | 0x20));
    if (root.empty()) return {};
    while (!root.empty() && root.back() == '/') root.pop_back();
    // "X:" alone is the drive's root folder.
    return path.size() == 2 ? root + '/' : root + Slashes(path.substr(2));
  }
  if (path[0] == '\\' || path[0] == '/') return {};  // rooted on an unknown drive
  if (base_folder.empty()) return {};
  return base_folder + Slashes(path);
}
