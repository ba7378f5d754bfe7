// Windows backend of the file-system port.
// Shortcuts are read through IShellLinkW + IPersistFile, the shell's own link
// reader. Paths longer than MAX_PATH are not supported (no "\\?\" prefixing).
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "catalogue/file_system.h"
#include "platform/utf16_win.h"

namespace {

constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE;

bool IsDotOrDotDot(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

class FindListing final : public FolderListing {
 public:
  FindListing(HANDLE find, const WIN32_FIND_DATAW& first, std::wstring folder)
      : find_(find), data_(first), folder_(std::move(folder)) {}
  ~FindListing() override { FindClose(find_); }

  bool Next(FolderEntry& entry) override {
    for (;;) {
      if (!have_data_ && !FindNextFileW(find_, &data_)) return false;
      have_data_ = false;
      // The enumeration's attribute mask: read-only, hidden, archive and
      // directory entries; anything carrying the system attribute stays out.
      if (IsDotOrDotDot(data_.cFileName) || (data_.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM)) continue;
      entry.name = WideToUtf8(data_.cFileName, static_cast<int>(wcslen(data_.cFileName)));
      entry.attributes = data_.dwFileAttributes & kKeptAttributes;
      return true;
    }
  }

  std::string Identity() override {
    HANDLE handle =
        CreateFileW(folder_.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return {};
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    // Some network file systems give no file index: then only the path can tell.
    if (!ok || (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0)) return {};
    return std::to_string(info.dwVolumeSerialNumber) + ':' + std::to_string(info.nFileIndexHigh) + ':' +
           std::to_string(info.nFileIndexLow);
  }

 private:
  HANDLE find_;
  WIN32_FIND_DATAW data_;
  bool have_data_ = true;  // FindFirstFileW already read the first entry
  std::wstring folder_;
};

// The target of a loaded link. Its item list carries every name in full
// Unicode; the path text beside it may be in the ANSI code page only (Wine
// writes "?" for what that cannot hold), so the list is asked first.
std::string TargetPath(IShellLinkW& link) {
  std::vector<wchar_t> buffer(32768, L'\0');
  PIDLIST_ABSOLUTE items = nullptr;
  if (link.GetIDList(&items) == S_OK && items) {
    const bool ok = SHGetPathFromIDListW(items, buffer.data());  // at most MAX_PATH characters
    CoTaskMemFree(items);
    if (ok && buffer[0]) return WideToUtf8(buffer.data(), static_cast<int>(wcslen(buffer.data())));
  }
  buffer[0] = L'\0';
  if (link.GetPath(buffer.data(), static_cast<int>(buffer.size()), nullptr, 0) != S_OK) return {};
  return WideToUtf8(buffer.data(), static_cast<int>(wcslen(buffer.data())));
}

class Win32FileSystem final : public FileSystem {
 public:
  std::unique_ptr<FolderListing> OpenFolder(const std::string& folder) override {
    std::wstring wide = Utf8ToWide(folder);
    WIN32_FIND_DATAW first{};
    HANDLE find = FindFirstFileW((wide + L"*").c_str(), &first);
    if (find == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<FindListing>(find, first, std::move(wide));
  }

  std::uint32_t GetAttributes(const std::string& path) override {
    const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes & kKeptAttributes;
  }

  // The shell's link object needs COM on the calling thread. The walk's
  // threads come and go (a stuck one is replaced by a fresh one), so each
  // call starts COM for itself; on a thread that has COM already it stays
  // as it is.
  std::string ResolveShortcut(const std::string& folder, const std::string& name) override {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    std::string target;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
      IPersistFile* file = nullptr;
      if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(Utf8ToWide(folder + name).c_str(), STGM_READ))) target = TargetPath(*link);
        file->Release();
      }
      link->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return target;
  }
};

}  // namespace

std::unique_ptr<FileSystem> CreatePlatformFileSystem() { return std::make_unique<Win32FileSystem>(); }
