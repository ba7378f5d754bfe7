#pragma once
// Builds the bytes of a Windows shortcut (.lnk) file, for tests of the
// shell-link reader and of shortcut resolution where no shell writes them.
#include <cstdint>
#include <string>
#include <vector>

struct LinkFields {
  std::string local_base = {};     // LinkInfo local base path (UTF-8); empty: no LinkInfo
  std::string common_suffix = {};  // LinkInfo common path suffix
  std::string relative_path = {};  // StringData RELATIVE_PATH; empty: none
  std::string name = {};           // StringData NAME (a description); empty: none
  bool unicode_strings = true;     // StringData in UTF-16 (IsUnicode)
  bool unicode_link_info = false;  // LinkInfo header of 0x24 bytes with UTF-16 paths too
  bool id_list = false;            // a LinkTargetIDList before LinkInfo
};

namespace link_writer {

inline void U16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void U32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  U16(out, v & 0xFFFF);
  U16(out, v >> 16);
}

inline std::u16string Utf16(const std::string& utf8) {
  std::u16string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    std::uint32_t cp = c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (extra) cp = c & (0x3F >> extra);
    for (int k = 1; k <= extra && i + k < utf8.size(); ++k)
      cp = cp << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += 1 + extra;
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

inline void Utf16Z(std::vector<std::uint8_t>& out, const std::string& text) {
  for (char16_t u : Utf16(text)) U16(out, u);
  U16(out, 0);
}

inline void Counted(std::vector<std::uint8_t>& out, const std::string& text, bool unicode) {
  if (unicode) {
    const std::u16string wide = Utf16(text);
    U16(out, static_cast<std::uint32_t>(wide.size()));
    for (char16_t u : wide) U16(out, u);
  } else {
    U16(out, static_cast<std::uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
  }
}

inline std::vector<std::uint8_t> LinkInfo(const LinkFields& fields) {
  const std::uint32_t header = fields.unicode_link_info ? 0x24 : 0x1C;
  std::vector<std::uint8_t> volume = {0x10, 0, 0, 0, 3, 0, 0, 0, 0x78, 0x56, 0x34, 0x12, 0x10, 0, 0, 0, 0, 0, 0, 0};
  std::vector<std::uint8_t> body = volume;  // VolumeID: size, drive type, serial, label offset, empty label
  const std::uint32_t base_at = header + static_cast<std::uint32_t>(body.size());
  body.insert(body.end(), fields.local_base.begin(), fields.local_base.end());
  body.push_back(0);
  const std::uint32_t suffix_at = header + static_cast<std::uint32_t>(body.size());
  body.insert(body.end(), fields.common_suffix.begin(), fields.common_suffix.end());
  body.push_back(0);
  std::uint32_t base_w = 0, suffix_w = 0;
  if (fields.unicode_link_info) {
    base_w = header + static_cast<std::uint32_t>(body.size());
    Utf16Z(body, fields.local_base);
    suffix_w = header + static_cast<std::uint32_t>(body.size());
    Utf16Z(body, fields.common_suffix);
  }
  std::vector<std::uint8_t> out;
  U32(out, header + static_cast<std::uint32_t>(body.size()));
  U32(out, header);
  U32(out, 1);  // VolumeIDAndLocalBasePath
  U32(out, header);
  U32(out, base_at);
  U32(out, 0);
  U32(out, suffix_at);
  if (fields.unicode_link_info) {
    U32(out, base_w);
    U32(out, suffix_w);
  }
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

}  // namespace link_writer

inline std::vector<std::uint8_t> WriteShellLink(const LinkFields& fields) {
  using namespace link_writer;
  std::uint32_t flags = 0;
  if (fields.id_list) flags |= 0x01;
  if (!fields.local_base.empty()) flags |= 0x02;
  if (!fields.name.empty()) flags |= 0x04;
  if (!fields.relative_path.empty()) flags |= 0x08;
  if (fields.unicode_strings) flags |= 0x80;
  std::vector<std::uint8_t> out;
  U32(out, 0x4C);
  for (std::uint8_t b :
       {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46})
    out.push_back(b);
  U32(out, flags);
  U32(out, 0x20);                   // FILE_ATTRIBUTE_ARCHIVE
  out.resize(out.size() + 24 + 4);  // three times, file size
  U32(out, 0);                      // icon index
  U32(out, 1);                      // SW_SHOWNORMAL
  out.resize(out.size() + 2 + 2 + 4 + 4);
  if (fields.id_list) {
    U16(out, 6);  // one item of 4 bytes, then the terminating empty item
    U16(out, 4);
    U16(out, 0xBEEF);
    U16(out, 0);
  }
  if (!fields.local_base.empty()) {
    const std::vector<std::uint8_t> info = LinkInfo(fields);
    out.insert(out.end(), info.begin(), info.end());
  }
  if (!fields.name.empty()) Counted(out, fields.name, fields.unicode_strings);
  if (!fields.relative_path.empty()) Counted(out, fields.relative_path, fields.unicode_strings);
  return out;
}
