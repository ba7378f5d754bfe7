// Decoding behind the Cairo canvas: libjpeg-turbo for JPEG (DCT scaling and
// a bounded memory pool), gdk-pixbuf for the rest, gdk-pixbuf's area filter
// for the reduction to the drawn size.
#include "render/picture_decode_cairo.h"

#include <jpeglib.h>

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <memory>

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

// The smallest DCT scale M/8 whose output covers the target; smaller when
// that would not fit the budget. 0 when even 1/8 does not fit.
int ChooseJpegScale(jpeg_decompress_struct* cinfo, int targetWidth, int targetHeight) {
  cinfo->scale_denom = 8;
  for (cinfo->scale_num = 1; cinfo->scale_num < 8; ++cinfo->scale_num) {
    jpeg_calc_output_dimensions(cinfo);
    if (static_cast<int>(cinfo->output_width) >= targetWidth && static_cast<int>(cinfo->output_height) >= targetHeight)
      break;
  }
  for (; cinfo->scale_num >= 1; --cinfo->scale_num) {
    jpeg_calc_output_dimensions(cinfo);
    PictureHeader out;
    out.Kind = PictureKind::Raster;
    out.Width = cinfo->output_width;
    out.Height = cinfo->output_height;
    if (FitsPictureBudget(out)) return static_cast<int>(cinfo->scale_num);
  }
  return 0;
}

// Runs between setjmp and a possible longjmp: only plain C data is live here,
// so jumping out of libjpeg skips no destructor.
GdkPixbuf* DecodeJpegInto(jpeg_decompress_struct* cinfo, JpegError* err, std::FILE* file, int targetWidth,
                          int targetHeight) {
  GdkPixbuf* volatile pixbuf = nullptr;
  if (setjmp(err->jump)) {
    if (pixbuf) g_object_unref(pixbuf);
    return nullptr;
  }
  jpeg_stdio_src(cinfo, file);
  jpeg_read_header(cinfo, TRUE);
  if (static_cast<std::int64_t>(cinfo->image_width) * cinfo->image_height > kMaxJpegPixels) return nullptr;
  // libjpeg-turbo cannot turn CMYK into RGB; gdk-pixbuf's loader can.
  if (cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK) return nullptr;
  if (!ChooseJpegScale(cinfo, targetWidth, targetHeight)) return nullptr;
  cinfo->out_color_space = JCS_EXT_RGBX;  // opaque RGBA, the layout of a pixbuf with alpha
  // Scaled output is reduced further anyway: the cheaper chroma upsampling does not show.
  cinfo->do_fancy_upsampling = cinfo->scale_num < 8 ? FALSE : TRUE;
  jpeg_start_decompress(cinfo);
  pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, static_cast<int>(cinfo->output_width),
                          static_cast<int>(cinfo->output_height));
  if (!pixbuf) return nullptr;
  guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW row = pixels + static_cast<std::size_t>(cinfo->output_scanline) * stride;
    if (jpeg_read_scanlines(cinfo, &row, 1) != 1) break;
  }
  jpeg_finish_decompress(cinfo);
  return pixbuf;
}

GdkPixbuf* DecodeJpeg(const std::string& path, int targetWidth, int targetHeight) {
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
  GdkPixbuf* pixbuf = DecodeJpegInto(&cinfo, &err, file.get(), targetWidth, targetHeight);
  jpeg_destroy_decompress(&cinfo);
  return pixbuf;
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

GdkPixbuf* DecodeWmf(const std::string& path, int targetWidth, int targetHeight) {
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) return nullptr;
  TargetSize target{targetWidth, targetHeight};
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
  h.Kind = PictureKind::Raster;
  h.Width = width;
  h.Height = height;
  return FitsPictureBudget(h);
}

}  // namespace

CairoPictureInfo ProbeCairoPicture(const std::string& path) {
  CairoPictureInfo info;
  const PictureHeader header = SniffHeader(path);
  if (header.Format == PictureFormat::Wmf || header.Format == PictureFormat::Emf) {
    // gdk-pixbuf reads no size from a metafile header; only placeable WMFs
    // say theirs, in logical units, which serve as their size.
    if (header.Format == PictureFormat::Wmf && header.Width > 0 && header.Height > 0) {
      info.Decoder = CairoDecoder::Wmf;
      info.Width = static_cast<int>(header.Width);
      info.Height = static_cast<int>(header.Height);
    }
    return info;
  }
  int width = 0, height = 0;
  GdkPixbufFormat* format = gdk_pixbuf_get_file_info(path.c_str(), &width, &height);
  if (!format || width <= 0 || height <= 0) return info;
  gchar* name = gdk_pixbuf_format_get_name(format);
  info.Decoder = g_strcmp0(name, "jpeg") == 0 ? CairoDecoder::Jpeg : CairoDecoder::Pixbuf;
  g_free(name);
  info.Width = width;
  info.Height = height;
  return info;
}

cairo_surface_t* DecodeCairoPicture(const std::string& path, const CairoPictureInfo& info, int targetWidth,
                                    int targetHeight) {
  targetWidth = std::clamp(targetWidth, 1, kMaxSurfaceSide);
  targetHeight = std::clamp(targetHeight, 1, kMaxSurfaceSide);
  GdkPixbuf* pixbuf = nullptr;
  switch (info.Decoder) {
    case CairoDecoder::None:
      return nullptr;
    case CairoDecoder::Wmf:
      if (FitsBudget(targetWidth, targetHeight)) pixbuf = DecodeWmf(path, targetWidth, targetHeight);
      break;
    case CairoDecoder::Jpeg:
      pixbuf = DecodeJpeg(path, targetWidth, targetHeight);
      [[fallthrough]];  // a JPEG libjpeg-turbo cannot convert (CMYK) goes to gdk-pixbuf
    case CairoDecoder::Pixbuf:
      if (!pixbuf && FitsBudget(info.Width, info.Height)) pixbuf = DecodeWithPixbuf(path);
      break;
  }
  if (!pixbuf) return nullptr;

  const int width = gdk_pixbuf_get_width(pixbuf), height = gdk_pixbuf_get_height(pixbuf);
  const int scaledWidth = std::min(width, targetWidth), scaledHeight = std::min(height, targetHeight);
  if (scaledWidth != width || scaledHeight != height) {
    GdkPixbuf* scaled = gdk_pixbuf_scale_simple(pixbuf, scaledWidth, scaledHeight, GDK_INTERP_BILINEAR);
    g_object_unref(pixbuf);
    pixbuf = scaled;
    if (!pixbuf) return nullptr;
  }
  cairo_surface_t* surface = SurfaceFromPixbuf(pixbuf);
  g_object_unref(pixbuf);
  return surface;
}

cairo_surface_t* SurfaceFromPixbuf(const GdkPixbuf* pixbuf) {
  const int width = gdk_pixbuf_get_width(pixbuf), height = gdk_pixbuf_get_height(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf), stride = gdk_pixbuf_get_rowstride(pixbuf);
  const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf);
  if (channels < 3 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create(alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  const guchar* src = gdk_pixbuf_read_pixels(pixbuf);
  unsigned char* dst = cairo_image_surface_get_data(surface);
  const int dstStride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < height; ++y) {
    const guchar* in = src + static_cast<std::size_t>(y) * stride;
    auto* out = reinterpret_cast<std::uint32_t*>(dst + static_cast<std::size_t>(y) * dstStride);
    for (int x = 0; x < width; ++x, in += channels) {
      std::uint32_t a = alpha ? in[3] : 255;
      // Premultiplied, rounded: (c * a + 127) / 255.
      auto pre = [a](std::uint32_t c) { return (c * a + 127) / 255; };
      out[x] = (a << 24) | (pre(in[0]) << 16) | (pre(in[1]) << 8) | pre(in[2]);
    }
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}
