#include "fakes/fake_file_system.h"

namespace {

class FakeListing final : public FolderListing {
 public:
  FakeListing(std::vector<FolderEntry> entries, std::string identity)
      : entries_(std::move(entries)), identity_(std::move(identity)) {}
  bool Next(FolderEntry& entry) override {
    if (next_ == entries_.size()) return false;
    entry = entries_[next_++];
    return true;
  }
  std::string Identity() override { return identity_; }

 private:
  std::vector<FolderEntry> entries_;  // a copy: the walk may add entries meanwhile
  std::size_t next_ = 0;
  std::string identity_;
};

}  // namespace

void FakeFileSystem::Make(const std::string& path, std::uint32_t attributes) {
  entries[path] = path.back() == '\\' ? kFileDirectory : attributes;
  const std::size_t cut = path.rfind('\\', path.size() - 2);
  if (cut != std::string::npos && !entries.count(path.substr(0, cut + 1))) Make(path.substr(0, cut + 1));
}

std::unique_ptr<FolderListing> FakeFileSystem::OpenFolder(const std::string& folder) {
  opened.push_back(folder);
  const std::string real = aliases.count(folder) ? aliases[folder] : folder;
  if (!entries.count(real)) return nullptr;
  std::vector<FolderEntry> list;
  // Paths below a folder follow it in name order.
  for (auto it = entries.upper_bound(real); it != entries.end() && it->first.rfind(real, 0) == 0; ++it) {
    const std::string name = it->first.substr(real.size());
    const std::size_t end = name.find('\\');
    // Deeper entries wait for their own folder; system entries are never listed, as in the real listings.
    if ((end != std::string::npos && end + 1 < name.size()) || (it->second & kFileSystem)) continue;
    list.push_back({name.substr(0, end), it->second});
  }
  return std::make_unique<FakeListing>(std::move(list), "id:" + real);
}

std::uint32_t FakeFileSystem::GetAttributes(const std::string& path) {
  for (const std::string& candidate : {path, path + '\\'}) {
    auto it = entries.find(aliases.count(candidate) ? aliases[candidate] : candidate);
    if (it != entries.end()) return it->second;
  }
  return 0;
}
