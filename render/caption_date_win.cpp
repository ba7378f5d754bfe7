#include <windows.h>

#include "platform/utf16_win.h"
#include "render/caption_date.h"

// The stamp is a FILETIME: 100-nanosecond steps since 1601, in UTC.
CalendarDate LocalDateOf(const FileStamp& stamp) {
  if (stamp.modified < 0) return {};
  const auto ticks = static_cast<unsigned long long>(stamp.modified);
  FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME universal{}, local{};
  if (!FileTimeToSystemTime(&utc, &universal) || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
    return {};
  return {local.wYear, local.wMonth, local.wDay};
}

std::string LocalDateText(const CalendarDate& date) {
  if (date.year < 1 || date.year > 30827) return {};
  SYSTEMTIME day{};
  day.wYear = static_cast<WORD>(date.year), day.wMonth = static_cast<WORD>(date.month),
  day.wDay = static_cast<WORD>(date.day);
  wchar_t text[128];
  const int length = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, text, 128, nullptr);
  return length > 1 ? WideToUtf8(text, length - 1) : std::string();
}
