// Decoding behind the Cairo canvas: libjpeg-turbo for JPEG (DCT scaling
// straight into a Cairo surface, a bounded memory pool), gdk-pixbuf for the
// rest, gdk-pixbuf's area filter for the reduction to the drawn size.
#include "render/picture_decode_cairo.h"

#include <jpeglib.h>

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <memory>

#include "render/exif_orientation.h"
#include "render/orient_cairo.h"
#include "render/picture_header.h"

namespace {

// Cairo image surfaces are limited to this many pixels a side.
constexpr int kMaxSurfaceSide = 32767;

// DCT scaling decodes a JPEG into as little as 1/64 of its pixels, but its
// entropy data must still be read in full: beyond this size (a 20,000 x
// 20,000 panorama) a frame would take seconds, so such a file is not drawn.
constexpr std::int64_t kMaxJpegPixels = kPictureBudgetPixels * 8;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

PictureHeader SniffHeader(const std::string& path) {
  File f(std::fopen(path.c_str(), "rb"));
  if (!f) return {};
  return ReadPictureHeader([&](std::uint64_t offset, void* buffer, std::size_t size) -> std::size_t {
    if (offset > static_cast<std::uint64_t>(LONG_MAX) || std::fseek(f.get(), static_cast<long>(offset), SEEK_SET))
      return 0;
    return std::fread(buffer, 1, size, f.get());
  });
}

// --- JPEG ----------------------------------------------------------------

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

void JpegFail(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1); }
void JpegQuiet(j_common_ptr, int) {}  // warnings (a truncated file) still give what was decoded

// The smallest DCT scale of 1/8, 1/4, 1/2 or 1 whose output covers the
// target (libjpeg-turbo has SIMD code for these four; a 3/8 decode of a
// 24-megapixel photo is slower than a 1/2 one); smaller when that would not
// fit the budget or a Cairo surface. 0 when even 1/8 does not.
int ChooseJpegScale(jpeg_decompress_struct* cinfo, int target_width, int target_height) {
  cinfo->scale_denom = 8;
  for (cinfo->scale_num = 1; cinfo->scale_num < 8; cinfo->scale_num *= 2) {
    jpeg_calc_output_dimensions(cinfo);
    if (static_cast<int>(cinfo->output_width) >= target_width &&
        static_cast<int>(cinfo->output_height) >= target_height)
      break;
  }
  for (; cinfo->scale_num >= 1; cinfo->scale_num /= 2) {
    jpeg_calc_output_dimensions(cinfo);
    PictureHeader out;
    out.kind = PictureKind::Raster;
    out.width = cinfo->output_width;
    out.height = cinfo->output_height;
    if (FitsPictureBudget(out) && out.width <= kMaxSurfaceSide && out.height <= kMaxSurfaceSide)
      return static_cast<int>(cinfo->scale_num);
  }
  return 0;
}

// libjpeg-turbo writes pixels in the byte order of Cairo's native 32-bit
// pixels, the fourth byte opaque.
constexpr J_COLOR_SPACE kCairoOrder = G_BYTE_ORDER == G_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;

// Runs between setjmp and a possible longjmp: only plain C data is live here,
// so jumping out of libjpeg skips no destructor.
cairo_surface_t* DecodeJpegInto(jpeg_decompress_struct* cinfo, JpegError* err, std::FILE* file, int target_width,
                                int target_height) {
  cairo_surface_t* volatile surface = nullptr;
  if (setjmp(err->jump)) {
    if (surface) cairo_surface_destroy(surface);
    return nullptr;
  }
  jpeg_stdio_src(cinfo, file);
  jpeg_read_header(cinfo, TRUE);
  if (static_cast<std::int64_t>(cinfo->image_width) * cinfo->image_height > kMaxJpegPixels) return nullptr;
  // libjpeg-turbo cannot turn CMYK into RGB; gdk-pixbuf's loader can.
  if (cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK) return nullptr;
  if (!ChooseJpegScale(cinfo, target_width, target_height)) return nullptr;
  cinfo->out_color_space = kCairoOrder;
  // Scaled output is reduced further anyway: the cheaper chroma upsampling does not show.
  cinfo->do_fancy_upsampling = cinfo->scale_num < 8 ? FALSE : TRUE;
  jpeg_start_decompress(cinfo);
  surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(cinfo->output_width),
                                       static_cast<int>(cinfo->output_height));
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  unsigned char* pixels = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW row = pixels + static_cast<std::size_t>(cinfo->output_scanline) * stride;
    if (jpeg_read_scanlines(cinfo, &row, 1) != 1) break;
  }
  jpeg_finish_decompress(cinfo);
  cairo_surface_mark_dirty(surface);
  return surface;
}

cairo_surface_t* DecodeJpeg(const std::string& path, int target_width, int target_height) {
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) return nullptr;
  jpeg_decompress_struct cinfo;
  JpegError err;
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = JpegFail;
  err.mgr.emit_message = JpegQuiet;
  jpeg_create_decompress(&cinfo);
  // Progressive files keep every coefficient in memory: bound that pool too.
  cinfo.mem->max_memory_to_use = static_cast<long>(kPictureBudgetPixels * 4);
  cairo_surface_t* surface = DecodeJpegInto(&cinfo, &err, file.get(), target_width, target_height);
  jpeg_destroy_decompress(&cinfo);
  return surface;
}

// Reduces an opaque surface with gdk-pixbuf's area filter, working on the
// surfaces' own memory. The scaler treats the four bytes of a pixel alike
// when the fourth (its alpha) is opaque, so Cairo's byte order passes
// through unchanged.
cairo_surface_t* ReduceOpaque(cairo_surface_t* source, int width, int height) {
  cairo_surface_flush(source);
  cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(out) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(out);
    return nullptr;
  }
  const int sw = cairo_image_surface_get_width(source), sh = cairo_image_surface_get_height(source);
  GdkPixbuf* from = gdk_pixbuf_new_from_data(cairo_image_surface_get_data(source), GDK_COLORSPACE_RGB, TRUE, 8, sw, sh,
                                             cairo_image_surface_get_stride(source), nullptr, nullptr);
  GdkPixbuf* to = gdk_pixbuf_new_from_data(cairo_image_surface_get_data(out), GDK_COLORSPACE_RGB, TRUE, 8, width,
                                           height, cairo_image_surface_get_stride(out), nullptr, nullptr);
  gdk_pixbuf_scale(from, to, 0, 0, width, height, 0, 0, static_cast<double>(width) / sw,
                   static_cast<double>(height) / sh, GDK_INTERP_BILINEAR);
  g_object_unref(from);
  g_object_unref(to);
  cairo_surface_mark_dirty(out);
  return out;
}

// --- other formats -------------------------------------------------------

// A metafile is drawn straight at the target size. (gdk_pixbuf_new_from_file_at_scale
// cannot do it: the WMF loader announces its size as -1 x -1.)
struct TargetSize {
  int width, height;
};

void SizeToTarget(GdkPixbufLoader* loader, int, int, gpointer target) {
  const auto* t = static_cast<const TargetSize*>(target);
  gdk_pixbuf_loader_set_size(loader, t->width, t->height);
}

GdkPixbuf* DecodeWmf(const std::string& path, int target_width, int target_height) {
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) return nullptr;
  TargetSize target{target_width, target_height};
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  g_signal_connect(loader, "size-prepared", G_CALLBACK(SizeToTarget), &target);
  bool ok = true;
  guchar buffer[65536];
  for (std::size_t n; ok && (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;)
    ok = gdk_pixbuf_loader_write(loader, buffer, n, nullptr);
  ok = gdk_pixbuf_loader_close(loader, nullptr) && ok;
  GdkPixbuf* pixbuf = ok ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  if (pixbuf) g_object_ref(pixbuf);
  g_object_unref(loader);
  return pixbuf;
}

GdkPixbuf* DecodeWithPixbuf(const std::string& path) {
  GError* error = nullptr;
  GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(path.c_str(), &error);
  if (error) g_error_free(error);
  return pixbuf;
}

bool FitsBudget(int width, int height) {
  PictureHeader h;
  h.kind = PictureKind::Raster;
  h.width = width;
  h.height = height;
  return FitsPictureBudget(h);
}

cairo_surface_t* DecodeStored(const std::string& path, const CairoPictureInfo& info, int target_width,
                              int target_height);

}  // namespace

CairoPictureInfo ProbeCairoPicture(const std::string& path) {
  CairoPictureInfo info;
  const PictureHeader header = SniffHeader(path);
  if (header.format == PictureFormat::Wmf || header.format == PictureFormat::Emf) {
    // gdk-pixbuf reads no size from a metafile header; only placeable WMFs
    // say theirs, in logical units, which serve as their size.
    if (header.format == PictureFormat::Wmf && header.width > 0 && header.height > 0) {
      info.decoder = CairoDecoder::Wmf;
      info.width = static_cast<int>(header.width);
      info.height = static_cast<int>(header.height);
    }
    return info;
  }
  int width = 0, height = 0;
  GdkPixbufFormat* format = gdk_pixbuf_get_file_info(path.c_str(), &width, &height);
  if (!format || width <= 0 || height <= 0) return info;
  gchar* name = gdk_pixbuf_format_get_name(format);
  info.decoder = g_strcmp0(name, "jpeg") == 0 ? CairoDecoder::Jpeg : CairoDecoder::Pixbuf;
  g_free(name);
  if (info.decoder == CairoDecoder::Jpeg) info.orientation = header.orientation;
  const bool swap = SwapsSides(info.orientation);
  info.width = swap ? height : width;
  info.height = swap ? width : height;
  return info;
}

cairo_surface_t* DecodeCairoPicture(const std::string& path, const CairoPictureInfo& info, int target_width,
                                    int target_height) {
  target_width = std::clamp(target_width, 1, kMaxSurfaceSide);
  target_height = std::clamp(target_height, 1, kMaxSurfaceSide);
  // Decoded and reduced as stored, then turned: the turn costs only the drawn pixels.
  if (SwapsSides(info.orientation)) std::swap(target_width, target_height);
  return TurnUpright(DecodeStored(path, info, target_width, target_height), info.orientation);
}

namespace {

cairo_surface_t* DecodeStored(const std::string& path, const CairoPictureInfo& info, int target_width,
                              int target_height) {
  if (info.decoder == CairoDecoder::Jpeg) {
    if (cairo_surface_t* surface = DecodeJpeg(path, target_width, target_height)) {
      const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
      if (w <= target_width && h <= target_height) return surface;
      cairo_surface_t* reduced = ReduceOpaque(surface, std::min(w, target_width), std::min(h, target_height));
      cairo_surface_destroy(surface);
      return reduced;
    }
    // Not for libjpeg-turbo (CMYK, damaged): gdk-pixbuf's loader may still manage.
  }
  GdkPixbuf* pixbuf = nullptr;
  if (info.decoder == CairoDecoder::Wmf) {
    if (FitsBudget(target_width, target_height)) pixbuf = DecodeWmf(path, target_width, target_height);
  } else if (info.decoder != CairoDecoder::None && FitsBudget(info.width, info.height)) {
    pixbuf = DecodeWithPixbuf(path);
  }
  if (!pixbuf) return nullptr;
  const int width = gdk_pixbuf_get_width(pixbuf), height = gdk_pixbuf_get_height(pixbuf);
  const int scaled_width = std::min(width, target_width), scaled_height = std::min(height, target_height);
  if (scaled_width != width || scaled_height != height) {
    GdkPixbuf* scaled = gdk_pixbuf_scale_simple(pixbuf, scaled_width, scaled_height, GDK_INTERP_BILINEAR);
    g_object_unref(pixbuf);
    pixbuf = scaled;
    if (!pixbuf) return nullptr;
  }
  cairo_surface_t* surface = SurfaceFromPixbuf(pixbuf);
  g_object_unref(pixbuf);
  return surface;
}

}  // namespace

cairo_surface_t* SurfaceFromPixbuf(const GdkPixbuf* pixbuf) {
  const int width = gdk_pixbuf_get_width(pixbuf), height = gdk_pixbuf_get_height(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf), stride = gdk_pixbuf_get_rowstride(pixbuf);
  const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf);
  if (channels < 3 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) return nullptr;
  cairo_surface_t* surface =
      cairo_image_surface_create(alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  const guchar* src = gdk_pixbuf_read_pixels(pixbuf);
  unsigned char* dst = cairo_image_surface_get_data(surface);
  const int dst_stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < height; ++y) {
    const guchar* in = src + static_cast<std::size_t>(y) * stride;
    auto* out = reinterpret_cast<std::uint32_t*>(dst + static_cast<std::size_t>(y) * dst_stride);
    for (int x = 0; x < width; ++x, in += channels) {
      const std::uint32_t a = alpha ? in[3] : 255;
      if (a == 255) {
        out[x] = 0xFF000000u | (std::uint32_t{in[0]} << 16) | (in[1] << 8) | in[2];
        continue;
      }
      // Premultiplied, rounded: (c * a + 127) / 255.
      auto pre = [a](std::uint32_t c) { return (c * a + 127) / 255; };
      out[x] = (a << 24) | (pre(in[0]) << 16) | (pre(in[1]) << 8) | pre(in[2]);
    }
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}
