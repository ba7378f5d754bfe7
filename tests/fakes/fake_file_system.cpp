#include "fakes/fake_file_system.h"

#include <memory>

namespace {

class FakeListing final : public FolderListing {
 public:
  FakeListing(const std::vector<FolderEntry>& entries, std::string identity)
      : entries_(entries), identity_(std::move(identity)) {}
  bool Next(FolderEntry& entry) override {
    // Mirrors the real listings: system entries are never returned.
    while (next_ < entries_.size()) {
      const FolderEntry& e = entries_[next_++];
      if (e.attributes & kFileSystem) continue;
      entry = e;
      return true;
    }
    return false;
  }
  std::string Identity() override { return identity_; }

 private:
  std::vector<FolderEntry> entries_;  // a copy: the walk may add entries meanwhile
  std::size_t next_ = 0;
  std::string identity_;
};

}  // namespace

void FakeFileSystem::AddFolder(const std::string& folder) { folders[folder]; }

void FakeFileSystem::Add(const std::string& folder, const std::string& name, std::uint32_t attributes) {
  folders[folder].push_back({name, attributes});
  if (attributes & kFileDirectory) AddFolder(folder + name + separator);
}

void FakeFileSystem::AddShortcut(const std::string& folder, const std::string& name, const std::string& target,
                                 std::uint32_t attributes) {
  Add(folder, name, attributes);
  shortcuts[folder + name] = target;
}

void FakeFileSystem::AddAlias(const std::string& alias, const std::string& folder) { aliases[alias] = folder; }

std::string FakeFileSystem::RealFolder(const std::string& folder) const {
  auto alias = aliases.find(folder);
  return alias == aliases.end() ? folder : alias->second;
}

std::unique_ptr<FolderListing> FakeFileSystem::OpenFolder(const std::string& folder) {
  opened.push_back(folder);
  const std::string real = RealFolder(folder);
  auto it = folders.find(real);
  if (it == folders.end()) return nullptr;
  return std::make_unique<FakeListing>(it->second, "id:" + real);
}

std::uint32_t FakeFileSystem::GetAttributes(const std::string& path) {
  if (path.empty()) return 0;
  const std::string as_folder = path.back() == separator ? path : path + separator;
  if (folders.count(RealFolder(as_folder))) return kFileDirectory;
  const std::size_t cut = path.find_last_of(separator);
  if (cut == std::string::npos) return 0;
  auto folder = folders.find(RealFolder(path.substr(0, cut + 1)));
  if (folder == folders.end()) return 0;
  for (const FolderEntry& e : folder->second)
    if (e.name == path.substr(cut + 1)) return e.attributes;
  return 0;
}

std::string FakeFileSystem::ResolveShortcut(const std::string& folder, const std::string& name) {
  ++resolves;
  auto it = shortcuts.find(folder + name);
  return it == shortcuts.end() ? std::string() : it->second;
}
