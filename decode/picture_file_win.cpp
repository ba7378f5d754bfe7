// Windows backend of picture files: wide paths, any sharing mode, and only
// files on a disk (not a pipe or a device reached through a link).
#include <windows.h>

#include <algorithm>

#include "platform/utf16_win.h"
#include "decode/picture_file.h"

namespace {

class Win32PictureFile final : public PictureFile {
 public:
  explicit Win32PictureFile(HANDLE file) : file_(file) {}
  ~Win32PictureFile() override { CloseHandle(file_); }
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    std::size_t done = 0;
    while (done < size) {
      OVERLAPPED at{};
      const std::uint64_t position = offset + done;
      at.Offset = static_cast<DWORD>(position);
      at.OffsetHigh = static_cast<DWORD>(position >> 32);
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 24));
      DWORD read = 0;
      if (!ReadFile(file_, static_cast<char*>(buffer) + done, chunk, &read, &at) || read == 0) break;
      done += read;
    }
    return done;
  }
  std::uint64_t Size() override {
    LARGE_INTEGER size{};
    return GetFileSizeEx(file_, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
  }

 private:
  HANDLE file_;
};

}  // namespace

std::unique_ptr<PictureFile> OpenPictureFile(const std::string& path) {
  HANDLE file =
      CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return nullptr;
  }
  return std::make_unique<Win32PictureFile>(file);
}
