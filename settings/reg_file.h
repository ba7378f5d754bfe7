#pragma once
// Registry export files (.reg), as regedit and `reg export` write them:
//   Windows Registry Editor Version 5.00      (or REGEDIT4)
//   [HKEY_CURRENT_USER\Software\Glimmora]
//   "Name"="text"   "Name"=dword:00003a98   "Name"=hex(7):41,00,00,00,...
// Reading accepts both versions (version 5.00 files in UTF-16LE with a BOM or
// in UTF-8; REGEDIT4 string data in hex(2)/hex(7) as the bytes themselves,
// version 5.00 as UTF-16LE) and any damage: a line that cannot be read is
// kept as text, never fatal. Writing always gives version 5.00 in UTF-16LE
// with a BOM and CR-LF, byte for byte what `reg export` writes, so a file
// moves between Windows and Linux both ways.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One value. `data` holds the bytes the ANSI registry calls see: the string
// types (1, 2, 7) as UTF-8 with their NULs, everything else as stored.
struct RegFileValue {
  std::string name;  // "" is the key's default value ("@")
  std::uint32_t type = 0;
  std::string data;

  bool operator==(const RegFileValue&) const = default;
};

enum class RegFileEntryKind {
  kValue,  // a value line that was read
  // Lines kept as text, so nothing typed by hand is lost: comments, and lines
  // that could not be read. One entry holds all such lines in a row.
  kKept,
};

struct RegFileEntry {
  RegFileEntryKind kind = RegFileEntryKind::kValue;
  RegFileValue value;  // kValue
  // kKept: the lines as a write gives them, each ended by CR-LF: as written,
  // except that a line inside a key that could not be read is commented out
  // ("; "), so it cannot change meaning.
  std::string text;
};

struct RegFileSection {
  // The key path as written between the brackets; empty for the lines before
  // the first key and for key lines that cannot be read.
  std::string key;
  // False for those two: their lines are kept but belong to no key.
  bool readable = true;
  // An unreadable key line, as written. The unreadable key lines that follow
  // with no readable one between are kept among its lines (and among the
  // lines before the first key).
  std::string header;
  std::vector<RegFileEntry> entries;
};

struct RegFileDocument {
  // sections[0] holds the lines before the first key line (normally none).
  std::vector<RegFileSection> sections{RegFileSection{"", false, "", {}}};
};

// Blank lines are dropped; the memory taken is about the size of what is
// kept, whatever the number of lines.
RegFileDocument ParseRegFile(std::string_view bytes);

// Version 5.00, UTF-16LE with BOM.
std::string WriteRegFile(const RegFileDocument& document);

// The text of one value line, wrapped like `reg export` (UTF-8, CR-LF).
std::string FormatRegValue(const RegFileValue& value);
