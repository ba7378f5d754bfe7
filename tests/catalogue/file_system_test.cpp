// The file-system contract against the in-memory fake, so the walk tests
// that use it stand on the same ground as the real file systems.
#include "file_system_contract.h"

namespace {

class FakeTree final : public TreeFixture {
 public:
  FakeTree() { files_.AddFolder(kRoot); }
  FileSystem& Files() override { return files_; }
  PathStyle Paths() const override { return kWindowsPaths; }
  std::string Root() const override { return kRoot; }
  void MakeFolder(const std::string& folder) override {
    const std::string path = folder.substr(0, folder.size() - 1);
    const std::size_t cut = path.find_last_of('\\');
    files_.Add(path.substr(0, cut + 1), path.substr(cut + 1), kFileDirectory);
  }
  void MakeFile(const std::string& path) override { Add(path, kFileArchive); }
  std::string MakeHiddenFile(const std::string& folder, const std::string& name) override {
    Add(folder + name, kFileArchive | kFileHidden);
    return name;
  }
  void MakeUnlisted(const std::string& folder, const std::string& name) override {
    Add(folder + name, kFileArchive | kFileSystem);
  }
  std::string MakeShortcut(const std::string& folder, const std::string& stem, const std::string& target) override {
    files_.AddShortcut(folder, stem + ".lnk", target);
    return stem + ".lnk";
  }
  std::string AliasOf(const std::string& folder) override {
    const std::string alias = "C:\\alias" + std::to_string(++aliases_) + "\\";
    files_.AddAlias(alias, folder);
    return alias;
  }

 private:
  static constexpr const char* kRoot = "C:\\T\\";
  void Add(const std::string& path, std::uint32_t attributes) {
    const std::size_t cut = path.find_last_of('\\');
    files_.Add(path.substr(0, cut + 1), path.substr(cut + 1), attributes);
  }
  FakeFileSystem files_;
  int aliases_ = 0;
};

struct FakeTreeFactory {
  static std::unique_ptr<TreeFixture> Create() { return std::make_unique<FakeTree>(); }
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, FileSystemContract, FakeTreeFactory);
