#pragma once
// An in-memory file system: folders with entries in insertion order,
// shortcuts with scripted targets, aliases that share a folder identity, and
// a record of what the walk opened.
#include <map>
#include <string>
#include <vector>

#include "catalogue/file_system.h"

class FakeFileSystem final : public FileSystem {
 public:
  // Adds an entry to folder (which ends with the separator), creating the
  // folder. A directory entry also creates folder & name & separator.
  void Add(const std::string& folder, const std::string& name, std::uint32_t attributes = kFileArchive);
  void AddFolder(const std::string& folder);
  // A shortcut entry named name in folder whose target is target ("" = broken).
  void AddShortcut(const std::string& folder, const std::string& name, const std::string& target,
                   std::uint32_t attributes = kFileArchive);
  // Makes alias (a folder path) list the same entries as folder and share its identity.
  void AddAlias(const std::string& alias, const std::string& folder);

  std::unique_ptr<FolderListing> OpenFolder(const std::string& folder) override;
  std::uint32_t GetAttributes(const std::string& path) override;
  std::string ResolveShortcut(const std::string& folder, const std::string& name) override;

  char separator = '\\';
  std::map<std::string, std::vector<FolderEntry>> folders;
  std::map<std::string, std::string> shortcuts;  // folder & name -> target
  std::map<std::string, std::string> aliases;    // alias folder -> real folder
  std::vector<std::string> opened;               // folders opened, in order
  int resolves = 0;

 private:
  std::string RealFolder(const std::string& folder) const;
};
