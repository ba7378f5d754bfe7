// The POSIX file system on real temporary trees: the contract with symbolic
// links as shortcuts and again with .lnk files written the Windows way; then
// links that lead nowhere usable.
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

#include "file_system_contract.h"
#include "reader/reader_files.h"
#include "shell_link_writer.h"

namespace {

using namespace test_files;

struct SymlinkTree {
  TempFolder dir;
  std::unique_ptr<FileSystem> files = CreatePlatformFileSystem();
  FileSystem& Files() { return *files; }
  std::string Root() const { return fs::canonical(dir.path).string() + "/"; }
  void Make(const std::string& path, std::uint32_t attributes = 0) {
    if (path.back() != '/' && !(attributes & kFileSystem)) return Write(path, "");
    EXPECT_TRUE(path.back() == '/' ? fs::create_directory(path) : mkfifo(path.c_str(), 0600) == 0) << path;
  }
  void MakeShortcut(const std::string& folder, const std::string& stem, const std::string& target) {
    fs::create_symlink(target, folder + stem);
  }
  std::string AliasOf(const std::string& folder) {
    fs::create_directory_symlink(folder, Root() + "alias");
    return Root() + "alias/";
  }
};

// .lnk files as Windows writes them: folders by their path on drive C: of a
// Wine prefix made for the test, files by their path relative to the link.
struct LnkTree : SymlinkTree {
  TempFolder prefix;
  LnkTree() {
    fs::create_directories(prefix.path / "dosdevices");
    fs::create_directory_symlink("/", prefix.path / "dosdevices" / "c:");
    setenv("WINEPREFIX", prefix.path.c_str(), 1);
  }
  ~LnkTree() { unsetenv("WINEPREFIX"); }
  void MakeShortcut(const std::string& folder, const std::string& stem, const std::string& target) {
    const bool to_folder = fs::is_directory(target);
    std::string path = to_folder ? "C:" + target : fs::relative(target, folder).string();
    std::replace(path.begin(), path.end(), '/', '\\');
    Write(folder + stem + ".lnk", WriteShellLink(to_folder ? LinkFields{path, "", ""} : LinkFields{"", "", path}));
  }
};

// A link to a pipe would block the renderer's open for good.
TEST(PosixFileSystemTest, LinksToNothingUsableResolveToNothing) {
  SymlinkTree tree;
  const std::string r = tree.Root();
  tree.Make(r + "pipe.jpg", kFileSystem);
  for (auto [link, target] : {std::pair{"to-pipe.jpg", "pipe.jpg"},
                              {"loop-a", "loop-b"},
                              {"loop-b", "loop-a"},
                              {"dangling.jpg", "gone.jpg"},
                              {"device.jpg", "/dev/null"}}) {
    fs::create_symlink(target, r + link);
    EXPECT_EQ(tree.files->ResolveShortcut(r, link), "") << link;
  }
}

}  // namespace

// The same tree read by a reader process, as the program reads it.
struct ReaderTree : SymlinkTree {
  ShareWatch shares{[](const std::string&) { return std::string(); }};
  ReaderConnection connection{ProgramReaders(64u << 20), std::chrono::seconds(10)};
  ReaderFiles reader{connection, shares};
  FileSystem& Files() { return reader; }
};

// No reader starts and answers within 5 ms: its start is no stall (a test
// for Linux only: under Wine even a ready reader may take longer to answer).
TEST(ReaderFiles, APatienceRunsFromTheReadersFirstWord) {
  ReaderTree tree;
  ReaderConnection hasty{ProgramReaders(64u << 20), std::chrono::milliseconds(5)};
  ReaderFiles files{hasty, tree.shares};
  test_files::Write(tree.Root() + "ok.jpg", "x");
  EXPECT_NE(files.GetAttributes(tree.Root() + "ok.jpg"), 0u);
}

INSTANTIATE_TYPED_TEST_SUITE_P(PosixSymlinks, FileSystemContract, SymlinkTree);
INSTANTIATE_TYPED_TEST_SUITE_P(PosixLnkFiles, FileSystemContract, LnkTree);
INSTANTIATE_TYPED_TEST_SUITE_P(PosixThroughAReader, FileSystemContract, ReaderTree);
