#pragma once
// Properties every input to the .reg reader must keep, shared by the parser
// tests and the libFuzzer target: reading never fails; what is written reads
// back to the same values (bytes that are not UTF-8 become U+FFFD) and
// writes the same bytes again; a save through the file store keeps every
// value the file had. CheckRegFileProperties returns "" or what went wrong.
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "settings/reg_file.h"
#include "settings/reg_text.h"
#include "settings/registry_file.h"

namespace reg_file_properties {

struct MemoryFiles final : RegFileIo {
  explicit MemoryFiles(std::map<std::string, std::string>& files) : files(files) {}
  ReadResult ReadFile(const std::string& path, std::string& bytes) override {
    return files.count(path) ? (bytes = files[path], ReadResult::kRead) : ReadResult::kMissing;
  }
  bool ReplaceFile(const std::string& path, const std::string& bytes, bool) override { return files[path] = bytes, true; }
  bool CanWrite(const std::string&) override { return true; }
  std::map<std::string, std::string>& files;
};

using Entry = std::tuple<std::string, std::string, std::uint32_t, std::string>;  // key, name, type, data

// The readable values but the store's probe, as they come back through UTF-16.
inline std::vector<Entry> Entries(const RegFileDocument& doc) {
  auto utf16 = [](const std::string& text) { return Utf16LeToUtf8(Utf8ToUtf16Le(text)); };
  std::vector<Entry> entries;
  for (const RegFileSection& section : doc.sections) {
    for (const RegFileEntry& e : section.entries) {
      if (!section.readable || e.kind != RegFileEntryKind::kValue || SameRegName(e.value.name, "Probe")) continue;
      std::string data = IsRegStringType(e.value.type) ? utf16(e.value.data) : e.value.data;
      entries.emplace_back(FoldCase(utf16(section.key)), utf16(e.value.name), e.value.type, data);
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
  if (!SetRegistryValue(*store, kHkeyCurrentUser, "Software\\Glimmora", kRegDword, "Probe", 7) ||
      !GetRegistryValue(*store, kHkeyCurrentUser, "Software\\Glimmora", "Probe", text) || text != "7") {
    return "a save was not read back";
  }
  if (Entries(ParseRegFile(files["user.reg"])) != Entries(first)) return "a save lost values";
  return "";
}

}  // namespace reg_file_properties
