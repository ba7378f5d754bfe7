#pragma once
// UTF-8 <-> UTF-16 for the wide Win32 calls (Windows only).
// The core keeps every path as UTF-8; conversion happens at the call.
#include <windows.h>

#include <string>

inline std::wstring Utf8ToWide(const std::string& text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

inline std::string WideToUtf8(const wchar_t* wide, int units) {
  if (units <= 0) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide, units, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  if (length > 0) WideCharToMultiByte(CP_UTF8, 0, wide, units, text.data(), length, nullptr, nullptr);
  return text;
}

inline std::string WideToUtf8(const std::wstring& wide) {
  return WideToUtf8(wide.data(), static_cast<int>(wide.size()));
}
