#pragma once
// Properties every input to the .reg reader must keep, shared by the
// seeded random test and the libFuzzer target:
//  - reading never fails, and writing what was read reads back to the same
//    values (bytes that are not UTF-8 aside, which become U+FFFD);
//  - writing is stable: a second round gives the same bytes;
//  - a save through the file store keeps every value the file had.
// CheckRegFileProperties returns "" or what went wrong.
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "settings/reg_file.h"
#include "settings/reg_text.h"
#include "settings/registry_file.h"

namespace reg_file_properties {

// A file store's files in memory.
class MemoryFiles final : public RegFileIo {
 public:
  explicit MemoryFiles(std::map<std::string, std::string>& files) : files_(files) {}
  ReadResult ReadFile(const std::string& path, std::string& bytes) override {
    auto it = files_.find(path);
    if (it == files_.end()) return ReadResult::kMissing;
    bytes = it->second;
    return ReadResult::kRead;
  }
  bool ReplaceFile(const std::string& path, const std::string& bytes, bool) override {
    files_[path] = bytes;
    return true;
  }
  bool CanWrite(const std::string&) override { return true; }

 private:
  std::map<std::string, std::string>& files_;
};

// What survives a trip through UTF-16.
inline std::string ThroughUtf16(const std::string& text) { return Utf16LeToUtf8(Utf8ToUtf16Le(text)); }

using Entry = std::tuple<std::string, std::string, std::uint32_t, std::string>;  // key, name, type, data

inline std::vector<Entry> Entries(const RegFileDocument& doc, const std::string& skip_name = "") {
  std::vector<Entry> entries;
  for (const RegFileSection& section : doc.sections) {
    if (!section.readable) continue;
    for (const RegFileEntry& e : section.entries) {
      if (e.kind != RegFileEntryKind::kValue || (!skip_name.empty() && SameRegName(e.value.name, skip_name))) continue;
      std::string data = IsRegStringType(e.value.type) ? ThroughUtf16(e.value.data) : e.value.data;
      entries.emplace_back(FoldCase(ThroughUtf16(section.key)), ThroughUtf16(e.value.name), e.value.type, data);
    }
  }
  return entries;
}

inline std::string CheckRegFileProperties(const std::string& bytes) {
  RegFileDocument first = ParseRegFile(bytes);
  std::string written = WriteRegFile(first);
  RegFileDocument second = ParseRegFile(written);
  if (Entries(second) != Entries(first)) return "values changed by a write";
  if (WriteRegFile(second) != written) return "a second write differs";

  std::map<std::string, std::string> files{{"user.reg", bytes}};
  auto store = CreateFileRegistry({"user.reg", ""}, std::make_unique<MemoryFiles>(files));
  std::string text;
  GetRegistryValue(*store, kHkeyCurrentUser, "Software\\Glimmora", "Interval", text);
  if (!SetRegistryValue(*store, kHkeyCurrentUser, "Software\\Glimmora", kRegDword, "Probe", 7)) return "save failed";
  if (!GetRegistryValue(*store, kHkeyCurrentUser, "Software\\Glimmora", "Probe", text) || text != "7") {
    return "saved value not read back";
  }
  if (Entries(ParseRegFile(files["user.reg"]), "Probe") != Entries(first, "Probe")) return "a save lost values";
  return "";
}

}  // namespace reg_file_properties
