#include "decode/picture_formats.h"

#include "decode/format_codecs.h"

namespace {

#define CODEC(Name) Is##Name##Signature, Read##Name##Header, Name##WorkingBytes, Decode##Name
constexpr PictureFormatEntry kFormats[] = {
    {PictureFormat::Jpeg, "JPEG", {".jpg", ".jpeg", ".jpe", ".jfif"}, CODEC(Jpeg)},
    {PictureFormat::Png, "PNG", {".png"}, CODEC(Png)},
    {PictureFormat::Gif, "GIF", {".gif"}, CODEC(Gif)},
    {PictureFormat::Bmp, "BMP", {".bmp"}, CODEC(Bmp)},
    {PictureFormat::Wmf, "WMF", {".wmf"}, CODEC(Wmf)},
    {PictureFormat::Webp, "WebP", {".webp"}, CODEC(Webp)},
    {PictureFormat::Heif, "HEIF", {".heic", ".heif", ".hif"}, CODEC(Heif)},
    {PictureFormat::Avif, "AVIF", {".avif"}, CODEC(Avif)},
};
#undef CODEC

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EndsWithFolded(std::string_view name, std::string_view ext) {
  if (ext.empty() || name.size() < ext.size()) return false;
  const std::string_view end = name.substr(name.size() - ext.size());
  for (std::size_t i = 0; i < ext.size(); ++i)
    if (AsciiLower(end[i]) != ext[i]) return false;
  return true;
}

}  // namespace

std::span<const PictureFormatEntry> PictureFormats() { return kFormats; }

const PictureFormatEntry* FindPictureFormat(PictureFormat format) {
  for (const PictureFormatEntry& entry : kFormats)
    if (entry.format == format) return &entry;
  return nullptr;
}

bool HasPictureExtension(std::string_view name) {
  for (const PictureFormatEntry& entry : kFormats)
    for (std::string_view ext : entry.extensions)
      if (EndsWithFolded(name, ext)) return true;
  return false;
}
