#pragma once
// Properties every input to the .reg reader must keep, shared by the parser
// tests and the libFuzzer target: reading never fails; what is written reads
// back to the same values, byte for byte, UTF-8 or not, and
// writes the same bytes again; a save through the file store keeps every
// value the file had. CheckRegFileProperties returns "" or what went wrong.
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "settings/reg_file.h"
#include "settings/reg_text.h"
#include "settings/registry_file.h"

namespace reg_file_properties {

// The store's one file, in memory; a change by the test needs a new `version`.
struct MemoryFile final : RegFileIo {
  explicit MemoryFile(std::string bytes) : bytes(std::move(bytes)) {}
  std::optional<RegFileStamp> Stamp(const std::string&) override { return RegFileStamp{0, 0, 0, version}; }
  ReadResult ReadFile(const std::string&, std::string& out) override { return ++reads, out = bytes, ReadResult::kRead; }
  bool ReplaceFile(const std::string&, const std::string& in, bool, RegFileStamp& stamp) override {
    return bytes = in, stamp = {0, 0, 0, ++version}, true;
  }
  bool CanWrite(const std::string&) override { return true; }
  std::string bytes;
  std::int64_t version = 0;
  int reads = 0;
};

using Entry = std::tuple<std::string, std::string, std::uint32_t, std::string>;  // key, name, type, data

// The readable values but the store's probe.
inline std::vector<Entry> Entries(const RegFileDocument& doc) {
  std::vector<Entry> entries;
  for (const RegFileSection& section : doc.sections) {
    for (const RegFileEntry& e : section.entries) {
      if (!section.readable || e.kind != RegFileEntryKind::kValue || SameRegName(e.value.name, "Probe")) continue;
      entries.emplace_back(FoldCase(section.key), e.value.name, e.value.type, e.value.data);
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
  auto* file = new MemoryFile(bytes);
  auto store = CreateFileRegistry({"user.reg", ""}, std::unique_ptr<RegFileIo>(file));
  std::string text;
  bool saved = SetRegistryValue(*store, kHkeyCurrentUser, "Software\\Glimmora", kRegDword, "Probe", 7);
  if (!saved || !GetRegistryValue(*store, kHkeyCurrentUser, "Software\\Glimmora", "Probe", text) || text != "7")
    return "a save was not read back";
  if (Entries(ParseRegFile(file->bytes)) != Entries(first)) return "a save lost values";
  return "";
}

}  // namespace reg_file_properties
