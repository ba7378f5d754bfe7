// Writing registry export files exactly as `reg export` does (version 5.00,
// UTF-16LE with BOM, CR-LF, hex data wrapped near 80 columns), so files from
// either platform are interchangeable and diff cleanly.
#include <cstdio>

#include "settings/reg_file.h"
#include "settings/reg_text.h"
#include "settings/registry.h"

namespace {

// Where `reg export` wraps hex data: once a line reaches this width.
constexpr std::size_t kHexWrapWidth = 77;

std::string Escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\0': out += "\\0"; break;
      default: out += c;
    }
  }
  return out;
}

// A REG_SZ is written as "text" only when that form reads back to the same
// bytes on both platforms: one terminating NUL, no NUL, CR or LF inside.
// (Bytes that are not UTF-8 become U+FFFD in any form of a version 5.00 file.)
bool IsPlainText(const RegFileValue& value) {
  if (value.type != kRegSz || value.data.empty() || value.data.back() != '\0') return false;
  std::string_view text(value.data.data(), value.data.size() - 1);
  return text.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

std::string HexDigits(unsigned value, const char* format) {
  char digits[16];
  std::snprintf(digits, sizeof digits, format, value);
  return digits;
}

void AppendHex(std::string& line, const RegFileValue& value) {
  line += value.type == kRegBinary ? std::string("hex:") : "hex(" + HexDigits(value.type, "%x") + "):";
  std::string bytes = IsRegStringType(value.type) ? Utf8ToUtf16Le(value.data) : value.data;
  std::size_t width = Utf16Length(line);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    line += HexDigits(static_cast<unsigned char>(bytes[i]), "%02x");
    if (i + 1 == bytes.size()) break;
    line += ',';
    width += 3;
    if (width >= kHexWrapWidth) {
      line += "\\\r\n  ";
      width = 2;
    }
  }
}

// "text" with its escapes.
void AppendQuoted(std::string& line, std::string_view text) {
  line += '"';
  line += Escape(text);
  line += '"';
}

}  // namespace

std::string FormatRegValue(const RegFileValue& value) {
  std::string line;
  if (value.name.empty()) {
    line += '@';
  } else {
    AppendQuoted(line, value.name);
  }
  line += '=';
  if (IsPlainText(value)) {
    AppendQuoted(line, std::string_view(value.data).substr(0, value.data.size() - 1));
  } else if (value.type == kRegDword && value.data.size() == 4) {
    unsigned bits = 0;
    for (int k = 3; k >= 0; --k) bits = (bits << 8) | static_cast<unsigned char>(value.data[k]);
    line += "dword:" + HexDigits(bits, "%08x");
  } else {
    AppendHex(line, value);
  }
  return line;
}

std::string WriteRegFile(const RegFileDocument& document) {
  std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
  for (std::size_t s = 0; s < document.sections.size(); ++s) {
    const RegFileSection& section = document.sections[s];
    bool preamble = s == 0 && section.key.empty() && section.header.empty() && !section.readable;
    if (preamble && section.entries.empty()) continue;
    if (!preamble) text += (section.readable ? "[" + section.key + "]" : section.header) + "\r\n";
    for (const RegFileEntry& entry : section.entries) {
      text += entry.kind == RegFileEntryKind::kKept ? entry.text : FormatRegValue(entry.value) + "\r\n";
    }
    text += "\r\n";
  }
  return "\xFF\xFE" + Utf8ToUtf16Le(text);
}
