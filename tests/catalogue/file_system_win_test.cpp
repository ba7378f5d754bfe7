// The Win32 file system on real temporary trees under Wine: the contract
// with hidden and system attributes set by the test itself and shortcuts
// written by the shell's own link object; and the portable shell-link reader
// against links that the shell wrote.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <fstream>
#include <iterator>

#include "catalogue/shell_link.h"
#include "catalogue/utf16_win.h"
#include "file_system_contract.h"

namespace {

using namespace test_files;

// Writes a shortcut with IShellLinkW + IPersistFile::Save, as Explorer does.
bool SaveShellLink(const std::string& link_path, const std::string& target) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))))
    return false;
  bool saved = false;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->SetPath(Utf8ToWide(target).c_str())) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    saved = SUCCEEDED(file->Save(Utf8ToWide(link_path).c_str(), TRUE));
    file->Release();
  }
  link->Release();
  return saved;
}

class WinTree final : public TreeFixture {
 public:
  WinTree() : files_(CreatePlatformFileSystem()) {
    com_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    root_ = Utf8(dir_.path());
    if (!root_.empty() && root_.back() != '\\') root_ += '\\';
  }
  ~WinTree() override {
    if (com_) CoUninitialize();
  }
  FileSystem& Files() override { return *files_; }
  PathStyle Paths() const override { return kWindowsPaths; }
  std::string Root() const override { return root_; }
  void MakeFolder(const std::string& folder) override {
    EXPECT_TRUE(CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr)) << folder;
  }
  void MakeFile(const std::string& path) override {
    HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << path;
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  std::string MakeHiddenFile(const std::string& folder, const std::string& name) override {
    MakeFile(folder + name);
    EXPECT_TRUE(SetFileAttributesW(Utf8ToWide(folder + name).c_str(), FILE_ATTRIBUTE_HIDDEN));
    return name;
  }
  void MakeUnlisted(const std::string& folder, const std::string& name) override {
    MakeFile(folder + name);
    EXPECT_TRUE(SetFileAttributesW(Utf8ToWide(folder + name).c_str(), FILE_ATTRIBUTE_SYSTEM));
  }
  std::string MakeShortcut(const std::string& folder, const std::string& stem, const std::string& target) override {
    EXPECT_TRUE(SaveShellLink(folder + stem + ".lnk", target)) << target;
    return stem + ".lnk";
  }
  // Windows names are case-insensitive: the same folder in capitals.
  std::string AliasOf(const std::string& folder) override {
    std::string alias = folder;
    for (char& c : alias) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return alias == folder ? std::string() : alias;
  }

 private:
  TempFolder dir_;
  std::unique_ptr<FileSystem> files_;
  std::string root_;
  bool com_ = false;
};

struct WinTreeFactory {
  static std::unique_ptr<TreeFixture> Create() { return std::make_unique<WinTree>(); }
};

TEST(ShellLinkWinTest, LinksWrittenByTheShellReadBackWithThePortableReader) {
  WinTree tree;
  const std::string root = tree.Root();
  tree.MakeFolder(root + "Photos\\");
  tree.MakeFile(root + "Photos\\beach.jpg");
  const std::string name = tree.MakeShortcut(root, "photo", root + "Photos\\beach.jpg");
  std::ifstream in(FromUtf8(root + name), std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::optional<ShellLinkPaths> link = ParseShellLink(bytes.data(), bytes.size());
  ASSERT_TRUE(link) << bytes.size() << " bytes";
  EXPECT_EQ(link->local_path, root + "Photos\\beach.jpg");
}

// Wine writes the link's path text in the ANSI code page only ("?" for the
// rest); the target still comes back whole, from the link's item list.
TEST(ShellLinkWinTest, UnicodeTargetsResolveWhole) {
  WinTree tree;
  const std::string root = tree.Root();
  const std::string folder = root + Utf8(u8"Fotos \u2600\\");
  const std::string target = folder + Utf8(u8"\u5199\u771f \U0001F4F7.jpg");
  tree.MakeFolder(folder);
  tree.MakeFile(target);
  const std::string to_picture = tree.MakeShortcut(root, "picture", target);
  const std::string to_folder = tree.MakeShortcut(root, "folder", folder.substr(0, folder.size() - 1));
  EXPECT_EQ(tree.Files().ResolveShortcut(root, to_picture), target);
  EXPECT_EQ(tree.Files().ResolveShortcut(root, to_folder), folder.substr(0, folder.size() - 1));
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileSystemContract, WinTreeFactory);
