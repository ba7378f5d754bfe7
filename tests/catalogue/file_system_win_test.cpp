// The Win32 file system on real temporary trees under Wine: the contract with
// hidden and system attributes set by the test and shortcuts written by the
// shell's own link object, also read by the portable shell-link reader.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>

#include "catalogue/shell_link.h"
#include "platform/utf16_win.h"
#include "file_system_contract.h"
#include "reader/reader_files.h"

namespace {

using namespace test_files;

struct WinTree {
  TempFolder dir;
  std::unique_ptr<FileSystem> files = CreatePlatformFileSystem();
  bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  ~WinTree() {
    if (com) CoUninitialize();
  }
  FileSystem& Files() { return *files; }
  std::string Root() const { return Utf8(dir.path) + "\\"; }
  void Make(const std::string& path, std::uint32_t attributes = kFileArchive) {
    if (path.back() != '\\') Write(path, "");
    EXPECT_TRUE(path.back() == '\\' ? fs::create_directory(FromUtf8(path))
                                    : SetFileAttributesW(Utf8ToWide(path).c_str(), attributes))
        << path;
  }
  // Saved with IShellLinkW + IPersistFile::Save, as Explorer does.
  void MakeShortcut(const std::string& folder, const std::string& stem, const std::string& target) {
    const std::string path = folder + stem + ".lnk";
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    EXPECT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                           reinterpret_cast<void**>(&link))) &&
                SUCCEEDED(link->SetPath(Utf8ToWide(target).c_str())) &&
                SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                SUCCEEDED(file->Save(Utf8ToWide(path).c_str(), TRUE)))
        << target;
    if (file) file->Release();
    if (link) link->Release();
    // The portable reader (the Linux build's) reads the same target (Wine writes
    // LinkInfo paths in the ANSI code page only: ASCII targets).
    const std::string bytes = Read(path);
    const auto parsed = ParseShellLink(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    EXPECT_TRUE(std::any_of(target.begin(), target.end(), [](char c) { return c < 0; }) ||
                (parsed && parsed->local_path == target))
        << target;
  }
  // Names are case-insensitive: the same folder in capitals.
  std::string AliasOf(std::string folder) {
    for (char& c : folder) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return folder;
  }
};

}  // namespace

// The same tree read by a reader process, as the program reads it.
struct ReaderTree : WinTree {
  ShareWatch shares{[](const std::string&) { return std::string(); }};
  ReaderConnection connection{ProgramReaders(64u << 20), std::chrono::seconds(10)};
  ReaderFiles reader{connection, shares};
  FileSystem& Files() { return reader; }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileSystemContract, WinTree);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32ThroughAReader, FileSystemContract, ReaderTree);
