#pragma once
// An in-memory file system with Windows paths: entries by full path (a
// folder's ends with "\"; parents appear with their children), listed in
// name order; shortcuts with scripted targets; aliases, other paths to a
// folder; and the folders opened, in order.
#include <map>
#include <string>
#include <vector>

#include "catalogue/file_system.h"

class FakeFileSystem final : public FileSystem {
 public:
  void Add(const std::string& path, std::uint32_t attributes = kFileArchive);
  void AddShortcut(const std::string& path, const std::string& target) {
    Add(path);
    shortcuts[path] = target;
  }

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
