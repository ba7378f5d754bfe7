#pragma once
// The settings record: every user setting of the saver in one value type.
// Booleans are bool in memory; they become 1/0 in storage (settings_io.cpp)
// and -1/0 wherever the program complements them.
#include <cstdint>
#include <string>

struct SaverSettings {
  std::uint16_t Interval = 0;  // milliseconds each picture stays; unsigned so 60000 fits
  std::string ImageDirectory;    // include folders, CR-LF separated, in the user's order
  std::string ExcludeDirectory;  // exclude folders, same form
  bool Recursive = false;        // scan subfolders
  bool Random = false;           // random order without repeats within a pass
  std::int16_t UpscaleMode = 0;  // 0 centre small, 1 upscale keeping aspect, 2 stretch, 3 fill and cut
  std::int16_t ShowFilename = 0;             // caption: 0 none, 1 top, 2 bottom
  std::int32_t ShowFilenameColorText = 0;    // 0x00BBGGRR
  std::int32_t ShowFilenameColorBorder = 0;  // 0x00BBGGRR
  bool ShowFileResolution = false;           // append "(WxH)" to the caption
  std::int16_t CheckImageSize = 0;           // 0 off, 1..12 minimum size table entry
  std::int16_t CheckAspectRatio = 0;         // 0 all, 1 below 1.5, 2 1.5 and above

  bool operator==(const SaverSettings&) const = default;
};

// The built-in defaults (the values a first run sees).
SaverSettings MakeDefaultSettings();
