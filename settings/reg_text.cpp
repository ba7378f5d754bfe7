#include "settings/reg_text.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// A byte that is not part of valid UTF-8 travels through UTF-16 as a lone
// low surrogate U+DC80..U+DCFF, so a folder name in any bytes reads back
// exactly as it was saved.
constexpr char32_t kEscapeBase = 0xDC00;
bool IsEscapedByte(std::uint32_t unit) { return unit >= 0xDC80 && unit <= 0xDCFF; }

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendUtf16(std::string& out, char32_t c) {
  auto unit = [&out](std::uint32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  };
  if (c < 0x10000) {
    unit(c);
  } else {
    c -= 0x10000;
    unit(0xD800 | (c >> 10));
    unit(0xDC00 | (c & 0x3FF));
  }
}

// Decodes one UTF-8 sequence at text[i] into `c` and sets `length` to the
// bytes used. Invalid input (bad lead, missing or bad continuation, overlong
// form, surrogate, beyond U+10FFFF) gives U+FFFD for one byte and false.
bool DecodeUtf8(std::string_view text, std::size_t i, char32_t& c, std::size_t& length) {
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i);
  length = 1;
  c = kReplacement;
  if (lead < 0x80) {
    c = lead;
    return true;
  }
  std::size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  if (extra == 0 || lead > 0xF4 || i + extra >= text.size()) return false;
  char32_t value = lead & (0x3F >> extra);
  for (std::size_t k = 1; k <= extra; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return false;
    value = (value << 6) | (byte(i + k) & 0x3F);
  }
  static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (value < kMinimum[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
  c = value;
  length = extra + 1;
  return true;
}

char FoldChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string Utf16LeToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  std::size_t units = bytes.size() / 2;
  auto unit = [&](std::size_t k) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * k])) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * k + 1])) << 8);
  };
  for (std::size_t k = 0; k < units; ++k) {
    std::uint32_t u = unit(k);
    if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units && unit(k + 1) >= 0xDC00 && unit(k + 1) <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (unit(k + 1) - 0xDC00));
      ++k;
    } else if (IsEscapedByte(u)) {
      out += static_cast<char>(u - kEscapeBase);
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, u);
    }
  }
  return out;
}

std::string Utf8ToUtf16Le(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  char32_t c = 0;
  for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
    const bool valid = DecodeUtf8(text, i, c, length);
    AppendUtf16(out, valid ? c : kEscapeBase + static_cast<unsigned char>(text[i]));
  }
  return out;
}

bool IsValidUtf8(std::string_view text) {
  char32_t c = 0;
  for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
    if (!DecodeUtf8(text, i, c, length)) return false;
  }
  return true;
}

std::size_t Utf16Length(std::string_view text) {
  std::size_t units = 0;
  char32_t c = 0;
  for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
    DecodeUtf8(text, i, c, length);
    units += c >= 0x10000 ? 2 : 1;
  }
  return units;
}

std::string FoldCase(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), FoldChar);
  return out;
}

bool SameRegName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldChar(x) == FoldChar(y);
         });
}

bool RegNameLess(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(FoldChar(x)) < static_cast<unsigned char>(FoldChar(y));
  });
}
