#pragma once
// The settings record: every user setting of the saver in one value type.
// The enumerations keep the numbers they are stored as.
#include <cstdint>
#include <string>

enum class ScaleMode : std::int16_t {
  CenterSmall = 0,  // small pictures at their own size, larger ones fitted
  Fit = 1,          // every picture as large as fits, keeping its proportions
  Stretch = 2,      // the whole area, proportions lost
  Cover = 3,        // the whole area, proportions kept, edges cut off
};

enum class CaptionPosition : std::int16_t { Off = 0, Top = 1, Bottom = 2 };

// What the caption says.
enum class CaptionText : std::int16_t {
  Path = 0,           // the picture's whole path
  FileName = 1,       // its file name alone
  DateAndFolder = 2,  // the date it was taken (else its file's date) and its folder's name
};

// What shows beside a picture that does not fill its screen.
enum class Backdrop : std::int16_t {
  Black = 0,
  Soft = 1,  // the same picture, blurred and darkened, covering the screen
};

// The longest cross-fade between slides; 0 is a cut.
inline constexpr int kLongestTransitionMs = 3000;

// The minimum picture size; admission.h has the table of sizes and labels.
enum class SizeFilter : std::int16_t {
  Off = 0,
  Min320x200,
  Min640x480,
  Min800x600,
  Min1024x768,
  Min1152x864,
  Min1280x800,
  Min1280x1024,
  Min1440x900,
  Min1600x1200,
  Min1680x1050,
  Min1920x1200,
  Min2048x1576,
};

enum class AspectFilter : std::int16_t {
  All = 0,
  Narrow = 1,  // narrower than 1.5 : 1 ("4/3 only")
  Wide = 2,    // 1.5 : 1 and wider ("16/9 only")
};

struct SaverSettings {
  std::uint16_t interval_ms = 0;  // how long each picture stays; unsigned so 60000 fits
  std::string include_folders;    // CR-LF separated, in the user's order
  std::string exclude_folders;    // same form
  bool include_subfolders = false;
  bool random_order = false;  // random order without repeats within a pass
  ScaleMode scale_mode = ScaleMode::CenterSmall;
  CaptionPosition caption = CaptionPosition::Off;  // the picture's path, at the top or bottom
  std::int32_t caption_text_colour = 0;            // 0x00BBGGRR
  std::int32_t caption_border_colour = 0;          // 0x00BBGGRR
  bool caption_shows_size = false;                 // "(WxH)" after the path
  SizeFilter size_filter = SizeFilter::Off;
  AspectFilter aspect_filter = AspectFilter::All;
  std::uint16_t transition_ms = 0;  // cross-fade between slides, 0 to kLongestTransitionMs; 0 cuts
  bool motion = false;              // slow pan and zoom across each picture's interval
  CaptionText caption_text = CaptionText::Path;
  Backdrop backdrop = Backdrop::Black;

  bool operator==(const SaverSettings&) const = default;
};

// Switches read from the settings key but never written: set by hand to diagnose.
struct DiagnosticSwitches {
  bool status_overlay = false;      // "DebugMode": the status overlay from the start
  bool keep_first_monitor = false;  // "DebugSkipMonitor": monitor 1 stays usable
};

// The built-in defaults (the values a first run sees).
SaverSettings MakeDefaultSettings();
