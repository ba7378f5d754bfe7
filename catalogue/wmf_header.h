#pragma once
// The size of a placeable Windows metafile, read from its 22-byte header.
// GDI+ measures such a file as its bounding box in logical units (measured
// under Wine 8: the "units per inch" field only sets the resolution), which
// the Linux probe reports the same way, since gdk-pixbuf's WMF loader gives
// no size without rendering the file.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "catalogue/image_probe.h"

inline constexpr std::size_t kPlaceableWmfHeaderSize = 22;

// nullopt when the bytes do not start with a placeable metafile header.
std::optional<PictureSize> PlaceableWmfSize(const std::uint8_t* data, std::size_t size);
