#pragma once
// How a camera was held, from the orientation tag (0x0112) of a JPEG's EXIF
// block: the pixels are stored as the sensor saw them, and the tag says how
// to turn them upright. Values 1 to 8; 1 is "already upright". And the day
// the photo was taken, from the EXIF block of a JPEG, WebP, HEIF or AVIF file.
#include <cstddef>
#include <cstdint>

// The orientation in an EXIF block: the payload of an APP1 segment (the
// bytes after its length field: "Exif\0\0", then a TIFF header in either
// byte order and IFD0), or the TIFF header and what follows alone (as WebP,
// HEIF and AVIF files may keep it). Reads only within [data, data + size); 1
// for a block that is not EXIF, has no tag in IFD0, or is damaged anywhere
// on the way to it.
int ReadExifOrientation(const std::uint8_t* data, std::size_t size);

// A day of the calendar; year 0 when there is none.
struct CalendarDate {
  int year = 0, month = 0, day = 0;
  bool operator==(const CalendarDate&) const = default;
};

// The day the photo was taken, from DateTimeOriginal (0x9003) in the Exif
// sub-IFD that IFD0 points to (0x8769), in an EXIF block as above. None when
// the tag is missing, is not "YYYY:MM:DD HH:MM:SS", or names no real day.
CalendarDate ReadExifDateTaken(const std::uint8_t* data, std::size_t size);

// True for the orientations that turn the picture a quarter (5 to 8): the
// upright picture's width is the stored height.
bool SwapsSides(int orientation);

// Turning a stored picture upright: first clockwise quarter turns, then an
// optional mirror left to right.
struct OrientationTurn {
  int clockwise_quarters = 0;  // 0 to 3
  bool mirror = false;
};
OrientationTurn TurnOf(int orientation);

struct PixelPosition {
  int x = 0, y = 0;
};

// Where the pixel at (x, y) of the upright picture is in the stored one, of
// stored_width x stored_height pixels.
PixelPosition StoredPosition(int orientation, int x, int y, int stored_width, int stored_height);
