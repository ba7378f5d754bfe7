#pragma once
// An in-memory file system with Windows paths: entries by full path (a
// folder's ends with "\"; parents appear with their children), listed in name
// order; shortcuts with scripted targets; aliases, other paths to a folder;
// and the folders opened, in order. It is also its own tree for the
// file-system contract (tests/catalogue/file_system_contract.h).
#include <map>
#include <string>
#include <vector>

#include "catalogue/file_system.h"

class FakeFileSystem final : public FileSystem {
 public:
  void Make(const std::string& path, std::uint32_t attributes = kFileArchive);
  void MakeShortcut(const std::string& folder, const std::string& stem, const std::string& target) {
    Make(folder + stem + ".lnk");
    shortcuts[folder + stem + ".lnk"] = target;
  }
  std::string AliasOf(const std::string& folder) {
    aliases["C:\\alias\\"] = folder;
    return "C:\\alias\\";
  }
  FileSystem& Files() { return *this; }
  std::string Root() const { return "C:\\"; }

  std::unique_ptr<FolderListing> OpenFolder(const std::string& folder) override;
  std::uint32_t GetAttributes(const std::string& path) override;
  std::string ResolveShortcut(const std::string& folder, const std::string& name) override {
    auto it = shortcuts.find(folder + name);
    return it == shortcuts.end() ? std::string() : it->second;
  }

  std::map<std::string, std::uint32_t> entries;  // path -> attributes
  std::map<std::string, std::string> shortcuts;  // path -> target
  std::map<std::string, std::string> aliases;    // folder -> the folder it is
  std::vector<std::string> opened;
};
