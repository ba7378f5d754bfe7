#pragma once
// The day a caption shows, in the user's own date format. Pure computation:
// no file is read, so it runs on the UI thread.
#include <string>

#include "decode/exif_orientation.h"
#include "decode/picture_file.h"

// The local day of a file's modification time (a stamp from ReadFileStamp);
// none (year 0) for a stamp without one.
CalendarDate LocalDateOf(const FileStamp& stamp);

// The day in the user's locale's short date format (UTF-8); "" for none.
std::string LocalDateText(const CalendarDate& date);
