// HEIF (HEVC through libde265) and AVIF (AV1 through dav1d) pictures,
// decoded by libheif. libheif 1.15 decodes a picture whole (a grid's tiles
// pasted into one picture): a 4:2:0 picture into its YCbCr planes, which
// are made colours here, others into RGB planes of 8 or 16 bits a sample;
// each row is then reduced into the program's pixels. The picture's
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

// A plane of the decoded picture.
struct Plane {
  const std::uint8_t* data = nullptr;
  int stride = 0, bits = 8, width = 0, height = 0;
  std::uint32_t Raw(int x, int y) const {
    if (bits <= 8) return data[static_cast<std::size_t>(y) * stride + x];
    std::uint16_t v;
    std::memcpy(&v, data + static_cast<std::size_t>(y) * stride + 2 * static_cast<std::size_t>(x), 2);
    return std::min<std::uint32_t>(v, (1u << bits) - 1);
  }
  // The sample scaled to 0..255.
  std::uint32_t At(int x, int y) const {
    const std::uint32_t top = (1u << bits) - 1;
    return bits <= 8 ? Raw(x, y) : (Raw(x, y) * 255 + top / 2) / top;
  }
};

Plane GetPlane(const HeifLibrary& heif, const heif_image* image, heif_channel channel) {
  Plane plane;
  if (!heif.image_has_channel(image, channel)) return plane;
  plane.data = heif.image_plane(image, channel, &plane.stride);
  plane.bits = heif.image_bits(image, channel);
  plane.width = heif.image_width(image, channel), plane.height = heif.image_height(image, channel);
  if (plane.bits < 1 || plane.bits > 16) plane.data = nullptr;
  return plane;
}

// How 4:2:0 samples become colours: the picture's own matrix and range
// when it names them, else BT.601 at full range, as libheif assumes.
struct YCbCrMatrix {
  float kr = 0.299f, kb = 0.114f;
  bool full_range = true;

  void ToRgb(const Plane& y_plane, std::uint32_t y, std::uint32_t cb, std::uint32_t cr, std::uint32_t rgb[3]) const {
    const float unit = static_cast<float>(1u << (y_plane.bits - 8));
    const float top = static_cast<float>((1u << y_plane.bits) - 1), middle = 128 * unit;
    const float luma = full_range ? y / top : (y - 16 * unit) / (219 * unit);
    const float span = full_range ? top : 224 * unit;
    const float blue_diff = (static_cast<float>(cb) - middle) / span,
                red_diff = (static_cast<float>(cr) - middle) / span;
    const float red = luma + 2 * (1 - kr) * red_diff, blue = luma + 2 * (1 - kb) * blue_diff;
    const float green = (luma - kr * red - kb * blue) / (1 - kr - kb);
    const float colours[3] = {red, green, blue};
    for (int i = 0; i < 3; ++i) rgb[i] = static_cast<std::uint32_t>(std::clamp(colours[i], 0.0f, 1.0f) * 255 + 0.5f);
  }
};

YCbCrMatrix MatrixOf(const HeifLibrary& heif, const heif_image* image) {
  YCbCrMatrix matrix;
  heif_color_profile_nclx* nclx = nullptr;
  if (heif.image_nclx(image, &nclx).code != heif_error_Ok || !nclx) return matrix;
  switch (nclx->matrix_coefficients) {
    case heif_matrix_coefficients_ITU_R_BT_709_5: matrix.kr = 0.2126f, matrix.kb = 0.0722f; break;
    case heif_matrix_coefficients_SMPTE_240M: matrix.kr = 0.212f, matrix.kb = 0.087f; break;
    case heif_matrix_coefficients_ITU_R_BT_2020_2_non_constant_luminance:
    case heif_matrix_coefficients_ITU_R_BT_2020_2_constant_luminance: matrix.kr = 0.2627f, matrix.kb = 0.0593f; break;
    default: break;
  }
  matrix.full_range = nclx->full_range_flag != 0;
  heif.nclx_free(nclx);
  return matrix;
}

// The decoded picture (RGB, grey, or 4:2:0 YCbCr planes), reduced into
// `out`, alpha premultiplied. False when it is not the picture the header
// described.
bool Reduce(const HeifLibrary& heif, const heif_image* image, const PictureHeader& header, Pixels& out) {
  const heif_colorspace space = heif.image_colorspace(image);
  const bool grey = space == heif_colorspace_monochrome, ycbcr = space == heif_colorspace_YCbCr;
  if (ycbcr && heif.image_chroma(image) != heif_chroma_420) return false;
  const Plane first = GetPlane(heif, image, grey || ycbcr ? heif_channel_Y : heif_channel_R);
  const int width = first.width, height = first.height;
  if (width != header.width || height != header.height) return false;
  const Plane second = grey ? first : GetPlane(heif, image, ycbcr ? heif_channel_Cb : heif_channel_G);
  const Plane third = grey ? first : GetPlane(heif, image, ycbcr ? heif_channel_Cr : heif_channel_B);
  Plane a = GetPlane(heif, image, heif_channel_Alpha);
  if (!first.data || !second.data || !third.data) return false;
  const int shift = ycbcr ? 1 : 0;  // chroma samples cover 2 x 2 pixels
  for (const Plane* plane : {&second, &third})
    if (plane->width < (width + shift) >> shift || plane->height < (height + shift) >> shift) return false;
  // An alpha plane of another size (its own transforms applied) is left out.
  if (a.data && (a.width != width || a.height != height)) a.data = nullptr;
  const YCbCrMatrix matrix = ycbcr ? MatrixOf(heif, image) : YCbCrMatrix{};
  const bool premultiplied = heif.image_premultiplied(const_cast<heif_image*>(image));
  out.set_opaque(!a.data);
  RowReducer reducer(width, height, out.width(), out.height(), out.data(), out.stride());
  std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint32_t rgb[3];
      if (ycbcr)
        matrix.ToRgb(first, first.Raw(x, y), second.Raw(x >> 1, y >> 1), third.Raw(x >> 1, y >> 1), rgb);
      else
        rgb[0] = first.At(x, y), rgb[1] = second.At(x, y), rgb[2] = third.At(x, y);
      std::uint32_t red = rgb[0], green = rgb[1], blue = rgb[2], alpha = a.data ? a.At(x, y) : 255;
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
    // 4:2:0 planes as they are: no RGB planes beside them.
    const heif_colorspace space = header.coded_420 ? heif_colorspace_YCbCr : heif_colorspace_undefined;
    const heif_chroma chroma = header.coded_420 ? heif_chroma_420 : heif_chroma_undefined;
    if (heif->decode_image(handle, &image, space, chroma, options).code == heif_error_Ok) {
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
