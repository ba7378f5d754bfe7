#include "reader/reader_messages.h"

#include <bit>
#include <cmath>

namespace {

std::uint32_t FloatBits(float value) { return std::bit_cast<std::uint32_t>(value); }
float BitsFloat(std::uint32_t bits) {
  const float value = std::bit_cast<float>(bits);
  return std::isfinite(value) ? value : 0.0f;
}

}  // namespace

void MessageWriter::PutHeader(const PictureHeader& header) {
  Put8(static_cast<std::uint8_t>(header.kind));
  Put8(static_cast<std::uint8_t>(header.format));
  Put64(static_cast<std::uint64_t>(header.width));
  Put64(static_cast<std::uint64_t>(header.height));
  Put8(static_cast<std::uint8_t>(header.orientation));
}

void MessageWriter::PutDate(const CalendarDate& date) {
  Put16(static_cast<std::uint16_t>(date.year));
  Put8(static_cast<std::uint8_t>(date.month));
  Put8(static_cast<std::uint8_t>(date.day));
}

CalendarDate MessageReader::NextDate() {
  const CalendarDate date{Next16(), Next8(), Next8()};
  if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) return {};
  return date;
}

void MessageWriter::PutFloat(float value) { Put32(FloatBits(value)); }

void MessageWriter::PutPlacement(const PicturePlacement& placement) {
  Put8(placement.draw ? 1 : 0);
  for (float value : {placement.x, placement.y, placement.width, placement.height}) PutFloat(value);
}

void MessageWriter::PutRequest(const PictureRequest& request) {
  PutText(request.path);
  Put32(static_cast<std::uint32_t>(request.area_width));
  Put32(static_cast<std::uint32_t>(request.area_height));
  Put8(static_cast<std::uint8_t>(request.mode));
  Put8((request.preview_scale ? 1 : 0) | (request.motion ? 2 : 0));
}

// Values outside their ranges come back as the header of an unknown file:
// the saver never trusts what a reader says beyond what it can check.
PictureHeader MessageReader::NextHeader() {
  PictureHeader header;
  const auto kind = Next8(), format = Next8();
  const auto width = static_cast<std::int64_t>(Next64()), height = static_cast<std::int64_t>(Next64());
  const auto orientation = Next8();
  if (kind > static_cast<std::uint8_t>(PictureKind::Metafile) ||
      format > static_cast<std::uint8_t>(kLastPictureFormat) || width < 0 || height < 0 || orientation < 1 ||
      orientation > 8)
    return header;
  header.kind = static_cast<PictureKind>(kind);
  header.format = static_cast<PictureFormat>(format);
  header.width = width, header.height = height, header.orientation = orientation;
  return header;
}

float MessageReader::NextFloat() { return BitsFloat(Next32()); }

PicturePlacement MessageReader::NextPlacement() {
  PicturePlacement placement;
  placement.draw = Next8() == 1;
  placement.x = NextFloat();
  placement.y = NextFloat();
  placement.width = NextFloat();
  placement.height = NextFloat();
  return placement;
}

PictureRequest MessageReader::NextPictureRequest() {
  PictureRequest request;
  request.path = NextCountedText();
  request.area_width = static_cast<std::int32_t>(Next32());
  request.area_height = static_cast<std::int32_t>(Next32());
  request.mode = static_cast<ScaleMode>(Next8());
  const std::uint8_t flags = Next8();
  request.preview_scale = (flags & 1) != 0;
  request.motion = (flags & 2) != 0;
  return request;
}
