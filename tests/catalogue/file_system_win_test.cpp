// The Win32 file system on real temporary trees under Wine: the contract with
// hidden and system attributes set by the test and shortcuts written by the
// shell's own link object; and the portable shell-link reader on such a link.
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
  IPersistFile* file = nullptr;
  bool saved = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                          reinterpret_cast<void**>(&link))) &&
               SUCCEEDED(link->SetPath(Utf8ToWide(target).c_str())) &&
               SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
               SUCCEEDED(file->Save(Utf8ToWide(link_path).c_str(), TRUE));
  if (file) file->Release();
  if (link) link->Release();
  return saved;
}

struct WinTree {
  TempFolder dir;
  std::unique_ptr<FileSystem> files = CreatePlatformFileSystem();
  bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  ~WinTree() {
    if (com) CoUninitialize();
  }
  FileSystem& Files() { return *files; }
  PathStyle Paths() const { return kWindowsPaths; }
  std::string Root() const { return Utf8(dir.path) + "\\"; }
  void Make(const std::string& path, std::uint32_t attributes = kFileArchive) {
    if (path.back() == '\\') {
      EXPECT_TRUE(CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr)) << path;
    } else {
      Write(path, "");
      EXPECT_TRUE(SetFileAttributesW(Utf8ToWide(path).c_str(), attributes)) << path;
    }
  }
  void MakeShortcut(const std::string& folder, const std::string& stem, const std::string& target) {
    EXPECT_TRUE(SaveShellLink(folder + stem + ".lnk", target)) << target;
  }
  // Names are case-insensitive: the same folder in capitals.
  std::string AliasOf(std::string folder) {
    for (char& c : folder) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return folder;
  }
};

TEST(ShellLinkWinTest, ThePortableReaderReadsLinksTheShellWrote) {
  WinTree tree;
  const std::string target = tree.Root() + "beach.jpg", link = tree.Root() + "beach.lnk";
  tree.Make(target);
  ASSERT_TRUE(SaveShellLink(link, target));
  std::ifstream in(FromUtf8(link), std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  const auto parsed = ParseShellLink(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  ASSERT_TRUE(parsed) << bytes.size() << " bytes";
  EXPECT_EQ(parsed->local_path, target);
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileSystemContract, WinTree);
