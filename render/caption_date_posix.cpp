#include <ctime>

#include "render/caption_date.h"

// The stamp is nanoseconds since 1970 (ReadFileStamp).
CalendarDate LocalDateOf(const FileStamp& stamp) {
  if (stamp.modified < 0) return {};
  const std::time_t seconds = static_cast<std::time_t>(stamp.modified / 1000000000);
  std::tm local{};
  if (!localtime_r(&seconds, &local)) return {};
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

// %x follows LC_TIME, which the toolkit set from the user's environment at start-up.
std::string LocalDateText(const CalendarDate& date) {
  if (date.year < 1) return {};
  std::tm day{};
  day.tm_year = date.year - 1900, day.tm_mon = date.month - 1, day.tm_mday = date.day;
  char text[128];
  const std::size_t length = std::strftime(text, sizeof text, "%x", &day);
  return std::string(text, length);
}
