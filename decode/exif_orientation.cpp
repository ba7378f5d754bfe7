#include "decode/exif_orientation.h"

#include <algorithm>
#include <cstring>

#include "platform/byte_reader.h"

namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kExifIfdTag = 0x8769;
constexpr std::uint16_t kDateTakenTag = 0x9003;
constexpr std::uint16_t kTypeAscii = 2;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::uint16_t kTypeLong = 4;
constexpr std::uint16_t kTypeIfd = 13;
constexpr std::size_t kIfdEntrySize = 12;
constexpr std::size_t kTiffHeaderSize = 8;

// The TIFF block of an EXIF block, set to its own byte order, and its IFD0's
// offset; false when the block is not EXIF. The block is "Exif\0\0" then
// the TIFF header (a JPEG's APP1 payload), or the TIFF header alone.
bool OpenTiff(const std::uint8_t* data, std::size_t size, ByteReader& tiff, std::uint32_t& ifd0) {
  static constexpr std::uint8_t kExifId[] = {'E', 'x', 'i', 'f', 0, 0};
  if (!data) return false;
  const std::size_t skip =
      size >= sizeof kExifId && std::memcmp(data, kExifId, sizeof kExifId) == 0 ? sizeof kExifId : 0;
  if (size - skip < kTiffHeaderSize) return false;
  tiff = ByteReader(data + skip, size - skip);
  if (tiff.Matches(0, "MM")) {
    tiff.set_order(ByteReader::Order::Big);
  } else if (!tiff.Matches(0, "II")) {
    return false;
  }
  ifd0 = tiff.U32(4);
  return tiff.U16(2) == 42;
}

// The offset of the IFD's entry for the tag, or 0. An IFD's offset counts
// from the TIFF header and must leave room for its entry count; a count
// larger than the block holds reads the entries that are there.
std::size_t FindEntry(ByteReader& tiff, std::uint32_t ifd, std::uint16_t tag) {
  if (ifd < kTiffHeaderSize || ifd > tiff.size() - 2) return 0;
  const std::size_t entries = std::min<std::size_t>(tiff.U16(ifd), (tiff.size() - ifd - 2) / kIfdEntrySize);
  for (std::size_t i = 0; i < entries; ++i) {
    const std::size_t entry = ifd + 2 + i * kIfdEntrySize;
    if (tiff.U16(entry) == tag) return entry;
  }
  return 0;
}

// A whole number written with exactly `digits` decimal digits, or -1.
int Digits(const char* text, int digits) {
  int value = 0;
  for (int i = 0; i < digits; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

int ReadExifOrientation(const std::uint8_t* data, std::size_t size) {
  ByteReader tiff(data, 0);
  std::uint32_t ifd0 = 0;
  if (!OpenTiff(data, size, tiff, ifd0)) return 1;
  const std::size_t entry = FindEntry(tiff, ifd0, kOrientationTag);
  if (!entry || tiff.U16(entry + 2) != kTypeShort || tiff.U32(entry + 4) < 1) return 1;
  // A single SHORT sits in the first two bytes of the value field.
  const std::uint32_t value = tiff.U16(entry + 8);
  return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
}

CalendarDate ReadExifDateTaken(const std::uint8_t* data, std::size_t size) {
  ByteReader tiff(data, 0);
  std::uint32_t ifd0 = 0;
  if (!OpenTiff(data, size, tiff, ifd0)) return {};
  const std::size_t link = FindEntry(tiff, ifd0, kExifIfdTag);
  const std::uint16_t link_type = link ? tiff.U16(link + 2) : 0;
  if ((link_type != kTypeLong && link_type != kTypeIfd) || tiff.U32(link + 4) != 1) return {};
  const std::size_t entry = FindEntry(tiff, tiff.U32(link + 8), kDateTakenTag);
  // "YYYY:MM:DD HH:MM:SS" and its NUL: 20 characters, kept away from the entry.
  constexpr std::size_t kLength = 19;
  if (!entry || tiff.U16(entry + 2) != kTypeAscii || tiff.U32(entry + 4) < kLength) return {};
  const std::uint32_t at = tiff.U32(entry + 8);
  if (at > tiff.size() || tiff.size() - at < kLength) return {};
  char text[kLength];
  for (std::size_t i = 0; i < kLength; ++i) text[i] = static_cast<char>(tiff.U8(at + i));
  const CalendarDate date{Digits(text, 4), Digits(text + 5, 2), Digits(text + 8, 2)};
  if (text[4] != ':' || text[7] != ':' || date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1 ||
      date.day > DaysInMonth(date.year, date.month))
    return {};
  return date;
}

bool SwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

OrientationTurn TurnOf(int orientation) {
  switch (orientation) {
    case 2: return {0, true};
    case 3: return {2, false};
    case 4: return {2, true};
    case 5: return {1, true};
    case 6: return {1, false};
    case 7: return {3, true};
    case 8: return {3, false};
    default: return {};
  }
}

PixelPosition StoredPosition(int orientation, int x, int y, int stored_width, int stored_height) {
  const int right = stored_width - 1, bottom = stored_height - 1;
  switch (orientation) {
    case 2: return {right - x, y};
    case 3: return {right - x, bottom - y};
    case 4: return {x, bottom - y};
    case 5: return {y, x};
    case 6: return {y, bottom - x};
    case 7: return {right - y, bottom - x};
    case 8: return {right - y, x};
    default: return {x, y};
  }
}
