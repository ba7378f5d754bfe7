#pragma once
// Picture admission: the minimum-size and aspect-ratio filters of the
// settings decide whether a file that passed the extension test is listed.
#include <array>
#include <string>

#include "settings/saver_settings.h"

class PictureProbe;

struct ImageSizeOption {
  const char* text = "";  // as the options dialog offers it
  float min_width = 0;
  float min_height = 0;
};

// Indexed by SizeFilter; Off (0) switches the size filter off.
inline constexpr std::array<ImageSizeOption, 13> kImageSizeOptions{{
    {"Disable (really, REALLY, faster!)", 0, 0},
    {"320x200", 320, 200},
    {"640x480", 640, 480},
    {"800x600", 800, 600},
    {"1024x768", 1024, 768},
    {"1152x864", 1152, 864},
    {"1280x800", 1280, 800},
    {"1280x1024", 1280, 1024},
    {"1440x900", 1440, 900},
    {"1600x1200", 1600, 1200},
    {"1680x1050", 1680, 1050},
    {"1920x1200", 1920, 1200},
    {"2048x1576", 2048, 1576},
}};

// Indexed by AspectFilter.
inline constexpr std::array<const char*, 3> kAspectRatioOptions{{
    "ALL (really, REALLY, faster!)",
    "4/3 only (1.4-)",
    "16/9 only (1.5+)",
}};

// The one threshold of both ratio classes (the "1.4" above is only a label).
inline constexpr float kWideRatio = 1.5f;

// True when the picture at path may be listed. With both filters off the file
// is not opened at all; otherwise its size is read from its header. A file
// that cannot be read, or is none of the five formats, measures 0 x 0.
// Thread-safe: the walk calls it on its work queue.
bool AdmitPicture(const SaverSettings& settings, PictureProbe& probe, const std::string& path);
