#include "decode/exif_orientation.h"

#include <algorithm>
#include <cstring>

#include "platform/byte_reader.h"

namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::size_t kIfdEntrySize = 12;

}  // namespace

int ReadExifOrientation(const std::uint8_t* data, std::size_t size) {
  static constexpr std::uint8_t kExifId[] = {'E', 'x', 'i', 'f', 0, 0};
  constexpr std::size_t kTiffHeaderSize = 8;
  if (!data || size < sizeof kExifId + kTiffHeaderSize || std::memcmp(data, kExifId, sizeof kExifId) != 0) return 1;
  // The TIFF block, read in its own byte order.
  ByteReader tiff(data + sizeof kExifId, size - sizeof kExifId);
  if (tiff.Matches(0, "MM")) {
    tiff.set_order(ByteReader::Order::Big);
  } else if (!tiff.Matches(0, "II")) {
    return 1;
  }
  if (tiff.U16(2) != 42) return 1;
  // IFD0's offset counts from the TIFF header; it must leave room for its entry count.
  const std::uint32_t ifd = tiff.U32(4);
  if (ifd < kTiffHeaderSize || ifd > tiff.size() - 2) return 1;
  // A count larger than the block holds: read the entries that are there.
  const std::size_t entries = std::min<std::size_t>(tiff.U16(ifd), (tiff.size() - ifd - 2) / kIfdEntrySize);
  for (std::size_t i = 0; i < entries; ++i) {
    const std::size_t entry = ifd + 2 + i * kIfdEntrySize;
    if (tiff.U16(entry) != kOrientationTag) continue;
    if (tiff.U16(entry + 2) != kTypeShort || tiff.U32(entry + 4) < 1) return 1;
    // A single SHORT sits in the first two bytes of the value field.
    const std::uint32_t value = tiff.U16(entry + 8);
    return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
  }
  return 1;
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
