#pragma once
// The bytes of a Windows shortcut (.lnk) file with an item list, Unicode
// LinkInfo and a Unicode relative path, where no shell writes them.
#include <cstdint>
#include <filesystem>
#include <string>

// local_base, common_suffix: LinkInfo, UTF-8 (none when local_base is empty); relative_path: StringData (none when
// empty).
struct LinkFields { std::string local_base, common_suffix, relative_path; };

inline std::string WriteShellLink(const LinkFields& f) {
  auto u16 = [](std::string& out, std::uint32_t v) { out += {static_cast<char>(v), static_cast<char>(v >> 8)}; };
  auto wide = [&](std::string& out, const std::string& utf8, bool counted) {
    const std::u16string text = std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).u16string();
    if (counted) u16(out, static_cast<std::uint32_t>(text.size()));
    for (char16_t c : text) u16(out, c);
    if (!counted) u16(out, 0);
  };
  std::string out, info(0x24, '\0'), body = f.local_base + '\0' + f.common_suffix + '\0';
  const std::size_t base_w = info.size() + body.size();
  wide(body, f.local_base, false);
  const std::size_t suffix_w = info.size() + body.size();
  wide(body, f.common_suffix, false);
  // Size, header size, flags (local base path), volume, base, network, suffix, Unicode base and suffix.
  const std::size_t fields[] = {info.size() + body.size(), 0x24, 1, 0, 0x24, 0, 0x25 + f.local_base.size(),
                                base_w, suffix_w};
  for (std::size_t i = 0; i < 9; ++i) info.replace(4 * i, 4, std::string{char(fields[i]), char(fields[i] >> 8), 0, 0});
  const std::uint32_t flags = 0x81 | (f.local_base.empty() ? 0 : 0x02) | (f.relative_path.empty() ? 0 : 0x08);
  out = std::string("\x4C\0\0\0\x01\x14\x02\0\0\0\0\0\xC0\0\0\0\0\0\0\x46", 20) + char(flags) + std::string(0x37, '\0');
  out += std::string("\x06\0\x04\0\xEF\xBE\0\0", 8);  // an item list of one item
  if (!f.local_base.empty()) out += info + body;
  if (!f.relative_path.empty()) wide(out, f.relative_path, true);
  return out;
}
