#include <windows.h>

#include "platform/utf16_win.h"
#include "decode/picture_file.h"

FileStamp ReadFileStamp(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Utf8ToWide(path).c_str(), GetFileExInfoStandard, &data)) return {};
  auto join = [](DWORD high, DWORD low) {
    return static_cast<std::int64_t>((static_cast<unsigned long long>(high) << 32) | low);
  };
  return {join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime),
          join(data.nFileSizeHigh, data.nFileSizeLow)};
}
