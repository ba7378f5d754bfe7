// The POSIX file system on real temporary trees: the contract twice (with
// symbolic links as shortcuts, and with .lnk files written the Windows way),
// then what only POSIX has: pipes, link loops, Wine drive letters.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "file_system_contract.h"
#include "shell_link_writer.h"

namespace {

using namespace test_files;

std::string Canonical(const fs::path& path) { return fs::canonical(path).string(); }

class PosixTree : public TreeFixture {
 public:
  PosixTree() : files_(CreatePlatformFileSystem()), root_(Canonical(dir_.path()) + "/") {}
  FileSystem& Files() override { return *files_; }
  PathStyle Paths() const override { return kPosixPaths; }
  std::string Root() const override { return root_; }
  void MakeFolder(const std::string& folder) override { fs::create_directory(folder); }
  void MakeFile(const std::string& path) override { WriteText(path, ""); }
  std::string MakeHiddenFile(const std::string& folder, const std::string& name) override {
    WriteText(folder + "." + name, "");
    return "." + name;
  }
  void MakeUnlisted(const std::string& folder, const std::string& name) override {
    ASSERT_EQ(mkfifo((folder + name).c_str(), 0600), 0);
  }
  std::string MakeShortcut(const std::string& folder, const std::string& stem, const std::string& target) override {
    fs::create_symlink(target, folder + stem);
    return stem;
  }
  std::string AliasOf(const std::string& folder) override {
    const std::string alias = root_ + "alias" + std::to_string(++aliases_);
    fs::create_directory_symlink(folder, alias);
    return alias + "/";
  }

 protected:
  TempFolder dir_;
  std::unique_ptr<FileSystem> files_;
  std::string root_;
  int aliases_ = 0;
};

// Shortcuts as Windows writes them, with a Wine drive path ("Z:\tmp\...").
class LnkTree final : public PosixTree {
 public:
  std::string MakeShortcut(const std::string& folder, const std::string& stem, const std::string& target) override {
    std::string windows = "Z:" + target;
    std::replace(windows.begin(), windows.end(), '/', '\\');
    WriteBytes(folder + stem + ".lnk", WriteShellLink({.local_base = windows}));
    return stem + ".lnk";
  }
};

struct SymlinkTreeFactory {
  static std::unique_ptr<TreeFixture> Create() { return std::make_unique<PosixTree>(); }
};
struct LnkTreeFactory {
  static std::unique_ptr<TreeFixture> Create() { return std::make_unique<LnkTree>(); }
};

class PosixFileSystemTest : public ::testing::Test {
 protected:
  TempFolder dir;
  std::string root = Canonical(dir.path()) + "/";
  std::unique_ptr<FileSystem> files = CreatePlatformFileSystem();
};

TEST_F(PosixFileSystemTest, LinksThatLeadNowhereUsableResolveToNothing) {
  ASSERT_EQ(mkfifo((root + "pipe.jpg").c_str(), 0600), 0);
  fs::create_symlink(root + "pipe.jpg", root + "to-pipe.jpg");
  fs::create_symlink(root + "loop-b", root + "loop-a");
  fs::create_symlink(root + "loop-a", root + "loop-b");
  fs::create_symlink(root + "gone.jpg", root + "dangling.jpg");
  fs::create_symlink("/dev/null", root + "device.jpg");
  for (const char* name : {"to-pipe.jpg", "loop-a", "dangling.jpg", "device.jpg"})
    EXPECT_EQ(files->ResolveShortcut(root, name), "") << name;
}

TEST_F(PosixFileSystemTest, RelativeLinksResolveToCanonicalPaths) {
  fs::create_directories(root + "photos/2024");
  WriteText(root + "photos/2024/a.jpg", "");
  fs::create_symlink("photos/2024/../2024/a.jpg", root + "rel.jpg");
  EXPECT_EQ(files->ResolveShortcut(root, "rel.jpg"), root + "photos/2024/a.jpg");
  WriteBytes(root + "rel.lnk", WriteShellLink({.relative_path = "photos\\2024\\a.jpg"}));
  EXPECT_EQ(files->ResolveShortcut(root, "rel.lnk"), root + "photos/2024/a.jpg");
  // A local path that does not exist here gives way to the relative path.
  WriteBytes(root + "both.lnk",
             WriteShellLink({.local_base = "C:\\Users\\x\\a.jpg", .relative_path = ".\\photos\\2024\\a.jpg"}));
  EXPECT_EQ(files->ResolveShortcut(root, "both.lnk"), root + "photos/2024/a.jpg");
}

TEST_F(PosixFileSystemTest, DriveLettersComeFromTheWinePrefix) {
  fs::create_directories(root + "prefix/dosdevices");
  fs::create_directories(root + "drive_c/Photos");
  WriteText(root + "drive_c/Photos/a.jpg", "");
  fs::create_directory_symlink("../../drive_c", root + "prefix/dosdevices/c:");
  WriteBytes(root + "c.lnk", WriteShellLink({.local_base = "C:\\Photos\\", .common_suffix = "a.jpg"}));
  WriteBytes(root + "d.lnk", WriteShellLink({.local_base = "D:\\a.jpg"}));
  const char* saved = std::getenv("WINEPREFIX");
  const std::string previous = saved ? saved : "";
  setenv("WINEPREFIX", (root + "prefix").c_str(), 1);
  std::unique_ptr<FileSystem> wine_aware = CreatePlatformFileSystem();
  EXPECT_EQ(wine_aware->ResolveShortcut(root, "c.lnk"), root + "drive_c/Photos/a.jpg");
  EXPECT_EQ(wine_aware->ResolveShortcut(root, "d.lnk"), "");
  if (saved)
    setenv("WINEPREFIX", previous.c_str(), 1);
  else
    unsetenv("WINEPREFIX");
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(PosixSymlinks, FileSystemContract, SymlinkTreeFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(PosixLnkFiles, FileSystemContract, LnkTreeFactory);
