// Reading registry export files. Every line is judged on its own: a damaged
// line is kept as text and the next line is read afresh, so one bad edit
// never hides the values around it, and nothing here can loop or throw.
#include "settings/reg_file.h"

#include <algorithm>
#include <optional>

#include "settings/reg_text.h"
#include "settings/registry.h"

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
  std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string_view TrimLeft(std::string_view text) {
  std::size_t first = text.find_first_not_of(kBlanks);
  return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameRegName(text.substr(0, prefix.size()), prefix);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

struct Mode {
  bool ansi = false;  // REGEDIT4: string data in hex form is ANSI bytes, not UTF-16LE
  // The value sits on the file's last line and no line break ends it: the
  // file may have been cut there, so its data must look complete.
  bool at_open_end = false;
};

// The end of data that may have been cut: a dword needs all eight digits, a
// hex list at least one item and its last item both digits, string data its
// terminator.
bool LooksComplete(std::string_view list, const std::string& bytes, const RegFileValue& value, Mode mode) {
  std::string_view trimmed = list.substr(0, list.find_last_not_of(" \t") + 1);
  if (trimmed.size() < 2 || HexDigit(trimmed.back()) < 0 || HexDigit(trimmed[trimmed.size() - 2]) < 0) return false;
  if (!IsRegStringType(value.type)) return true;
  if (mode.ansi) return bytes.back() == '\0';
  return bytes.size() % 2 == 0 && bytes.ends_with(std::string_view("\0\0", 2));
}

// The file as UTF-8 text: UTF-16LE (with a BOM, or recognisable by its
// second byte) is converted into `converted`; a UTF-8 BOM is dropped.
std::string_view DecodeFile(std::string_view bytes, std::string& converted) {
  if (bytes.starts_with("\xFF\xFE")) return converted = Utf16LeToUtf8(bytes.substr(2));
  if (bytes.starts_with("\xEF\xBB\xBF")) return bytes.substr(3);
  if (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0') return converted = Utf16LeToUtf8(bytes);
  return bytes;
}

// A quoted text from text[i] == '"'; on success i is past the closing quote.
bool ReadQuoted(std::string_view text, std::size_t& i, std::string& out) {
  ++i;
  while (i < text.size()) {
    char c = text[i++];
    if (c == '"') return true;
    if (c != '\\' || i >= text.size()) {
      out += c;
      continue;
    }
    char escaped = text[i++];
    switch (escaped) {
      case '\\': out += '\\'; break;
      case '"': out += '"'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case '0': out += '\0'; break;
      default:  // not an escape: both characters stand
        out += '\\';
        out += escaped;
    }
  }
  return false;
}

// "xx,xx,..." with blanks around the items and an optional final comma.
bool ReadHexBytes(std::string_view text, std::string& out) {
  std::size_t i = 0;
  auto skip_blanks = [&] {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  };
  skip_blanks();
  while (i < text.size()) {
    int value = 0, digits = 0;
    for (; i < text.size() && HexDigit(text[i]) >= 0 && digits < 3; ++i, ++digits)
      value = value * 16 + HexDigit(text[i]);
    if (digits == 0 || digits > 2) return false;
    out += static_cast<char>(value);
    skip_blanks();
    if (i == text.size()) break;
    if (text[i++] != ',') return false;
    skip_blanks();
  }
  return true;
}

bool ReadDword(std::string_view digits, std::string& out) {
  if (digits.empty() || digits.size() > 8) return false;
  std::uint32_t value = 0;
  for (char c : digits) {
    if (HexDigit(c) < 0) return false;
    value = value * 16 + static_cast<std::uint32_t>(HexDigit(c));
  }
  for (int k = 0; k < 4; ++k) out += static_cast<char>((value >> (8 * k)) & 0xFF);
  return true;
}

// "hex:" (REG_BINARY) or "hex(N):" with N in hexadecimal; `text` starts after "hex".
bool ReadHexValue(std::string_view text, Mode mode, RegFileValue& value) {
  value.type = kRegBinary;
  if (text.starts_with('(')) {
    std::size_t close = text.find(')');
    if (close == std::string_view::npos || close < 2 || close > 9) return false;
    std::uint32_t type = 0;
    for (char c : text.substr(1, close - 1)) {
      if (HexDigit(c) < 0) return false;
      type = type * 16 + static_cast<std::uint32_t>(HexDigit(c));
    }
    value.type = type;
    text.remove_prefix(close + 1);
  }
  if (!text.starts_with(':')) return false;
  std::string bytes;
  if (!ReadHexBytes(text.substr(1), bytes)) return false;
  if (mode.at_open_end && !LooksComplete(text.substr(1), bytes, value, mode)) return false;
  // Version 5.00 keeps string data as UTF-16LE, REGEDIT4 as the bytes themselves.
  value.data = IsRegStringType(value.type) && !mode.ansi ? Utf16LeToUtf8(bytes) : bytes;
  return true;
}

// The data after "=".
bool ReadData(std::string_view data, Mode mode, RegFileValue& value) {
  data = Trim(data);
  if (data.starts_with('"')) {
    std::size_t i = 0;
    std::string text;
    if (!ReadQuoted(data, i, text) || i != data.size()) return false;
    value.type = kRegSz;
    value.data = text + '\0';
    return true;
  }
  if (StartsWithNoCase(data, "dword:")) {
    value.type = kRegDword;
    std::string_view digits = data.substr(6);
    if (mode.at_open_end && digits.size() != 8) return false;
    return ReadDword(digits, value.data);
  }
  if (StartsWithNoCase(data, "hex")) return ReadHexValue(data.substr(3), mode, value);
  return false;
}

// The data of a value line, after its name ("@" or quoted) and "=".
std::optional<std::string_view> DataPart(std::string_view line, std::string& name) {
  line = TrimLeft(line);
  std::size_t i = 0;
  if (line.starts_with('@')) {
    i = 1;
  } else if (!line.starts_with('"') || !ReadQuoted(line, i, name)) {
    return std::nullopt;
  }
  std::string_view rest = TrimLeft(line.substr(i));
  if (!rest.starts_with('=')) return std::nullopt;
  return rest.substr(1);
}

bool ReadValueLine(std::string_view line, Mode mode, RegFileValue& value) {
  std::optional<std::string_view> data = DataPart(line, value.name);
  return data && ReadData(*data, mode, value);
}

bool IsHexData(std::string_view line) {
  std::string name;
  std::optional<std::string_view> data = DataPart(line, name);
  return data && StartsWithNoCase(TrimLeft(*data), "hex");
}

// A line that can only be the rest of a wrapped hex value.
bool IsHexContinuation(std::string_view line) {
  line = Trim(line);
  if (line.empty()) return false;
  for (char c : line) {
    if (HexDigit(c) < 0 && c != ',' && c != ' ' && c != '\t' && c != '\\') return false;
  }
  return true;
}

// Reads the text line by line, without a list of its lines, so the memory
// taken follows what is kept rather than how many lines there are.
class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text), open_end_(!text.ends_with('\n')) {}

  RegFileDocument Run() {
    ReadVersionLine();
    while (!AtEnd()) ReadLine();
    // The kept lines stay as long as the store keeps the file: without the
    // room left over from growing.
    for (RegFileSection& section : document_.sections) {
      for (RegFileEntry& entry : section.entries) entry.text.shrink_to_fit();
    }
    return std::move(document_);
  }

 private:
  RegFileSection& Current() { return document_.sections.back(); }
  bool AtEnd() const { return next_ >= text_.size(); }

  // The next line without its line break; `at` moves past it.
  std::string_view LineAt(std::size_t& at) const {
    std::size_t end = std::min(text_.find('\n', at), text_.size());
    std::string_view line = text_.substr(at, end - at);
    at = end + 1;
    return line.ends_with('\r') ? line.substr(0, line.size() - 1) : line;
  }
  std::string_view NextLine() { return LineAt(next_); }

  // Adds the line to the section's kept lines, joining the kept entry before it.
  void Keep(std::string_view line, bool comment_out) {
    std::vector<RegFileEntry>& entries = Current().entries;
    if (entries.empty() || entries.back().kind != RegFileEntryKind::kKept) {
      entries.push_back(RegFileEntry{RegFileEntryKind::kKept, {}, {}});
    }
    std::string& text = entries.back().text;
    if (comment_out) text += "; ";
    text += line;
    text += "\r\n";
  }

  void ReadVersionLine() {
    std::size_t at = next_;
    std::string_view first;
    while (!AtEnd() && (first = Trim(LineAt(at))).empty()) next_ = at;
    if (AtEnd()) return;
    if (SameRegName(first, "REGEDIT4")) {
      ansi_ = true;
      next_ = at;
    } else if (SameRegName(first, "Windows Registry Editor Version 5.00")) {
      next_ = at;
    }
  }

  void ReadLine() {
    std::size_t start = next_;
    std::string_view line = NextLine();
    std::string_view trimmed = Trim(line);
    if (trimmed.empty()) return;
    if (trimmed.starts_with(';')) return Keep(line, false);
    if (trimmed.starts_with('[')) return StartSection(line, trimmed);
    if (!Current().readable) return Keep(line, false);
    ReadValue(start, line);
  }

  void StartSection(std::string_view line, std::string_view trimmed) {
    std::string_view inner = trimmed.ends_with(']') ? Trim(trimmed.substr(1, trimmed.size() - 2)) : "";
    // "[-key]" deletes a key when imported; here it names no key to read.
    if (!inner.empty() && !inner.starts_with('-')) {
      // The same key again goes on with it.
      if (Current().readable && SameRegName(Current().key, inner)) return;
      document_.sections.push_back(RegFileSection{std::string(inner), true, "", {}});
    } else if (Current().readable) {
      document_.sections.push_back(RegFileSection{"", false, std::string(line), {}});
    } else {
      Keep(line, false);
    }
  }

  void ReadValue(std::size_t first, std::string_view first_line) {
    std::string logical(first_line);
    bool complete = true, wrapped = false;
    if (IsHexData(first_line)) {
      // Wrapped hex data: a trailing backslash joins the next line, but only
      // a line that can be hex data, so a cut file never swallows a key line.
      while (complete && Trim(logical).ends_with('\\')) {
        logical.erase(logical.find_last_of('\\'));
        std::size_t at = next_;
        std::string_view next = AtEnd() ? std::string_view{} : LineAt(at);
        if (!AtEnd() && IsHexContinuation(next)) {
          logical += TrimLeft(next);
          next_ = at, wrapped = true;
        } else {
          complete = false;
        }
      }
    }
    RegFileEntry entry;
    Mode mode{ansi_, open_end_ && AtEnd()};
    // Only programs wrap hex data, and they end the file with a line break:
    // a wrapped value that runs into an unterminated end was cut.
    if (mode.at_open_end && wrapped) complete = false;
    if (complete && ReadValueLine(logical, mode, entry.value)) {
      Current().entries.push_back(std::move(entry));
      return;
    }
    // Commented out: left as it was, a trailing backslash could join it to
    // the line written after it.
    for (std::size_t at = first; at < next_;) Keep(LineAt(at), true);
  }

  std::string_view text_;
  bool open_end_;
  std::size_t next_ = 0;
  bool ansi_ = false;
  RegFileDocument document_;
};

}  // namespace

RegFileDocument ParseRegFile(std::string_view bytes) {
  std::string converted;
  return Parser(DecodeFile(bytes, converted)).Run();
}
