#include "decode/picture_formats.h"

#include "decode/format_codecs.h"

namespace {

// The signature and header readers, with the dated one; then what decoding takes, and the decoder.
#define CODEC(Name, Dated) Is##Name##Signature, Read##Name##Header, Dated, Name##WorkingBytes, Decode##Name
constexpr PictureFormatEntry kFormats[] = {
    {PictureFormat::Jpeg, "JPEG", {".jpg", ".jpeg", ".jpe", ".jfif"}, CODEC(Jpeg, ReadJpegDatedHeader)},
    {PictureFormat::Png, "PNG", {".png"}, CODEC(Png, nullptr)},
    {PictureFormat::Gif, "GIF", {".gif"}, CODEC(Gif, nullptr)},
    {PictureFormat::Bmp, "BMP", {".bmp"}, CODEC(Bmp, nullptr)},
    {PictureFormat::Wmf, "WMF", {".wmf"}, CODEC(Wmf, nullptr)},
    {PictureFormat::Webp, "WebP", {".webp"}, CODEC(Webp, ReadWebpDatedHeader)},
    {PictureFormat::Heif, "HEIF", {".heic", ".heif", ".hif"}, CODEC(Heif, ReadHeifDatedHeader)},
    {PictureFormat::Avif, "AVIF", {".avif"}, CODEC(Avif, ReadAvifDatedHeader)},
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
