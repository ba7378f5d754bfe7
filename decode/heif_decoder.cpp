// HEIF (HEVC through libde265) and AVIF (AV1 through dav1d) pictures,
// decoded by libheif. libheif 1.15 decodes a picture whole, into RGB planes
// of 8 or 16 bits a sample (a grid's tiles pasted into one picture); those
// are reduced here row by row into the program's pixels. The picture's
// rotation and mirror are not applied by libheif: the header reader turned
// them into an EXIF orientation, and the reduced picture is turned like a
// JPEG's. Its clean aperture (a crop phones do not use) is not applied.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "decode/format_codecs.h"
#include "decode/heif_library.h"
#include "decode/row_reducer.h"

namespace {

// libheif's and its codecs' own besides the planes the header counted: the
// parsed boxes, a grid tile's planes as decoded (tiles are 512 x 512 on
// phones), libde265's and dav1d's tables. Measured in docs/memory.md.
constexpr std::size_t kHeifOwnBytes = 16u << 20;

struct FileReader {
  PictureFile* file;
  std::int64_t position = 0;
  std::int64_t size = 0;
};

std::int64_t ReaderPosition(void* user) { return static_cast<FileReader*>(user)->position; }
int ReaderRead(void* data, std::size_t size, void* user) {
  auto* reader = static_cast<FileReader*>(user);
  if (size == 0) return 0;  // libheif asks for nothing, with no buffer, for an empty box
  if (reader->file->ReadAt(static_cast<std::uint64_t>(reader->position), data, size) != size) return 1;
  reader->position += static_cast<std::int64_t>(size);
  return 0;
}
int ReaderSeek(std::int64_t position, void* user) {
  auto* reader = static_cast<FileReader*>(user);
  if (position < 0 || position > reader->size) return 1;
  reader->position = position;
  return 0;
}
heif_reader_grow_status ReaderWait(std::int64_t target, void* user) {
  return target <= static_cast<FileReader*>(user)->size ? heif_reader_grow_status_size_reached
                                                        : heif_reader_grow_status_size_beyond_eof;
}
constexpr heif_reader kReader{1, ReaderPosition, ReaderRead, ReaderSeek, ReaderWait};

// A plane of the decoded picture: its samples scaled to 0..255.
struct Plane {
  const std::uint8_t* data = nullptr;
  int stride = 0, bits = 8;
  std::uint32_t At(int x, int y) const {
    if (bits <= 8) return data[static_cast<std::size_t>(y) * stride + x];
    std::uint16_t v;
    std::memcpy(&v, data + static_cast<std::size_t>(y) * stride + 2 * static_cast<std::size_t>(x), 2);
    const std::uint32_t top = (1u << bits) - 1;
    return (std::min<std::uint32_t>(v, top) * 255 + top / 2) / top;
  }
};

Plane GetPlane(const HeifLibrary& heif, const heif_image* image, heif_channel channel) {
  Plane plane;
  if (!heif.image_has_channel(image, channel)) return plane;
  plane.data = heif.image_plane(image, channel, &plane.stride);
  plane.bits = heif.image_bits(image, channel);
  if (plane.bits < 1 || plane.bits > 16) plane.data = nullptr;
  return plane;
}

// The decoded picture, reduced into `out`, alpha premultiplied. False when
// it is not the picture the header described.
bool Reduce(const HeifLibrary& heif, const heif_image* image, const PictureHeader& header, Pixels& out) {
  const bool grey = heif.image_colorspace(image) == heif_colorspace_monochrome;
  const heif_channel first = grey ? heif_channel_Y : heif_channel_R;
  const int width = heif.image_width(image, first), height = heif.image_height(image, first);
  if (width != header.width || height != header.height) return false;
  const Plane r = GetPlane(heif, image, grey ? heif_channel_Y : heif_channel_R);
  const Plane g = grey ? r : GetPlane(heif, image, heif_channel_G);
  const Plane b = grey ? r : GetPlane(heif, image, heif_channel_B);
  Plane a = GetPlane(heif, image, heif_channel_Alpha);
  if (!r.data || !g.data || !b.data) return false;
  // An alpha plane of another size (its own transforms applied) is left out.
  if (a.data &&
      (heif.image_width(image, heif_channel_Alpha) != width || heif.image_height(image, heif_channel_Alpha) != height))
    a.data = nullptr;
  const bool premultiplied = heif.image_premultiplied(const_cast<heif_image*>(image));
  out.set_opaque(!a.data);
  RowReducer reducer(width, height, out.width(), out.height(), out.data(), out.stride());
  std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint32_t red = r.At(x, y), green = g.At(x, y), blue = b.At(x, y), alpha = a.data ? a.At(x, y) : 255;
      if (!premultiplied && alpha < 255)
        red = (red * alpha + 127) / 255, green = (green * alpha + 127) / 255, blue = (blue * alpha + 127) / 255;
      row[static_cast<std::size_t>(x)] =
          alpha << 24 | std::min(red, alpha) << 16 | std::min(green, alpha) << 8 | std::min(blue, alpha);
    }
    reducer.AddRow(reinterpret_cast<const std::uint8_t*>(row.data()));
  }
  return true;
}

}  // namespace

std::size_t HeifWorkingBytes(const PictureHeader& header, int target_width, int target_height) {
  if (!FitsPictureBudget(header)) return kTooMuchToDecode;
  return ReducedOutputBytes(header, target_width, target_height) + static_cast<std::size_t>(header.held_bytes) +
         static_cast<std::size_t>(header.width) * 4 + kHeifOwnBytes;
}
std::size_t AvifWorkingBytes(const PictureHeader& header, int target_width, int target_height) {
  return HeifWorkingBytes(header, target_width, target_height);
}

Pixels DecodeHeif(PictureFile& file, const PictureHeader& header, int target_width, int target_height) {
  const HeifLibrary* heif = LoadHeifLibrary();
  if (!heif) return {};
  FileReader reader{&file, 0, static_cast<std::int64_t>(file.Size())};
  heif_context* context = heif->context_alloc();
  if (!context) return {};
  // libheif's own limit (it has one for each side): the checked picture's
  // longer side, so that no part of the file (a grid's own size, a tile, an
  // alpha plane) makes it allocate more than a square of that side. Tiles
  // one at a time, on this thread.
  heif->set_maximum_image_size_limit(context, static_cast<int>(std::max(header.width, header.height) + 1));
  heif->set_max_decoding_threads(context, 0);
  heif_image_handle* handle = nullptr;
  heif_image* image = nullptr;
  heif_decoding_options* options = heif->decoding_options_alloc();
  Pixels out;
  if (options && heif->read_from_reader(context, &kReader, &reader, nullptr).code == heif_error_Ok &&
      heif->get_primary_image_handle(context, &handle).code == heif_error_Ok) {
    options->ignore_transformations = 1;
    if (heif->decode_image(handle, &image, heif_colorspace_undefined, heif_chroma_undefined, options).code ==
        heif_error_Ok) {
      out = Pixels::Allocate(static_cast<int>(std::min<std::int64_t>(target_width, header.width)),
                             static_cast<int>(std::min<std::int64_t>(target_height, header.height)));
      if (!out.empty() && !Reduce(*heif, image, header, out)) out = Pixels();
    }
  }
  if (image) heif->image_release(image);
  if (handle) heif->image_handle_release(handle);
  if (options) heif->decoding_options_free(options);
  heif->context_free(context);
  return out;
}
Pixels DecodeAvif(PictureFile& file, const PictureHeader& header, int target_width, int target_height) {
  return DecodeHeif(file, header, target_width, target_height);
}
