// Decoding behind the Cairo canvas: libjpeg-turbo for JPEG (DCT scaling
// straight into a Cairo surface, a bounded memory pool); libpng for PNGs,
// giflib for GIFs and the program's own BMP reader, each reduced row by row
// so the full picture is never in memory; gdk-pixbuf for interlaced PNGs
// and, in a child process, metafiles; gdk-pixbuf's area filter for the reduction to the
// drawn size. Every byte comes through the PictureFile, and gdk-pixbuf gets
// the loader of the format the header reader recognised: it never sniffs.
#include "render/picture_decode_cairo.h"

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <optional>
#include <string_view>
#include <vector>

#include "render/bmp_rows.h"
#include "render/exif_orientation.h"
#include "render/metafile_player_gtk.h"
#include "render/metafile_records.h"
#include "render/orient_cairo.h"
#include "render/picture_header.h"
#include "render/row_reducer.h"

namespace {

// Cairo image surfaces are limited to this many pixels a side.
constexpr int kMaxSurfaceSide = 32767;

// DCT scaling decodes a JPEG into as little as 1/64 of its pixels, but its
// entropy data must still be read in full: beyond this size (a 20,000 x
// 20,000 panorama) a frame would take seconds, so such a file is not drawn.
constexpr std::int64_t kMaxJpegPixels = kPictureBudgetPixels * 8;

// libjpeg's memory pool, which a progressive file fills with every
// coefficient: past it the file is not drawn.
constexpr std::size_t kJpegPoolBytes = 160u << 20;

// --- JPEG ----------------------------------------------------------------

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

void JpegFail(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1); }
void JpegQuiet(j_common_ptr, int) {}  // warnings (a truncated file) still give what was decoded

// libjpeg reads the file through the PictureFile, a block at a time; past
// the end it gets an end-of-image marker, as a truncated file would give.
struct JpegSource {
  jpeg_source_mgr mgr;
  PictureFile* file;
  std::uint64_t offset;
  std::array<JOCTET, 65536> buffer;
};

void JpegInitSource(j_decompress_ptr) {}
void JpegTermSource(j_decompress_ptr) {}

boolean JpegFill(j_decompress_ptr cinfo) {
  auto* source = reinterpret_cast<JpegSource*>(cinfo->src);
  std::size_t n = source->file->ReadAt(source->offset, source->buffer.data(), source->buffer.size());
  if (n == 0) {
    source->buffer[0] = 0xFF;
    source->buffer[1] = JPEG_EOI;
    n = 2;
  }
  source->offset += n;
  source->mgr.next_input_byte = source->buffer.data();
  source->mgr.bytes_in_buffer = n;
  return TRUE;
}

void JpegSkip(j_decompress_ptr cinfo, long count) {
  auto* source = reinterpret_cast<JpegSource*>(cinfo->src);
  if (count <= 0) return;
  const auto skip = static_cast<std::size_t>(count);
  if (skip <= source->mgr.bytes_in_buffer) {
    source->mgr.next_input_byte += skip;
    source->mgr.bytes_in_buffer -= skip;
    return;
  }
  source->offset += skip - source->mgr.bytes_in_buffer;
  source->mgr.bytes_in_buffer = 0;
}

void UseJpegSource(jpeg_decompress_struct* cinfo, JpegSource* source, PictureFile& file) {
  source->file = &file;
  source->offset = 0;
  source->mgr.init_source = JpegInitSource;
  source->mgr.fill_input_buffer = JpegFill;
  source->mgr.skip_input_data = JpegSkip;
  source->mgr.resync_to_restart = jpeg_resync_to_restart;
  source->mgr.term_source = JpegTermSource;
  source->mgr.bytes_in_buffer = 0;
  source->mgr.next_input_byte = nullptr;
  cinfo->src = &source->mgr;
}

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
cairo_surface_t* DecodeJpegInto(jpeg_decompress_struct* cinfo, JpegError* err, JpegSource* source, PictureFile& file,
                                int target_width, int target_height) {
  cairo_surface_t* volatile surface = nullptr;
  if (setjmp(err->jump)) {
    if (surface) cairo_surface_destroy(surface);
    return nullptr;
  }
  UseJpegSource(cinfo, source, file);
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

cairo_surface_t* DecodeJpeg(PictureFile& file, int target_width, int target_height) {
  jpeg_decompress_struct cinfo;
  JpegError err;
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = JpegFail;
  err.mgr.emit_message = JpegQuiet;
  jpeg_create_decompress(&cinfo);
  // Progressive files keep every coefficient in memory: bound that pool too.
  cinfo.mem->max_memory_to_use = static_cast<long>(kJpegPoolBytes);
  auto source = std::make_unique<JpegSource>();
  cairo_surface_t* surface = DecodeJpegInto(&cinfo, &err, source.get(), file, target_width, target_height);
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

// --- PNG, reduced while it is read ---------------------------------------

struct PngReader {
  PictureFile* file;
  std::uint64_t offset = 0;
};

void PngRead(png_structp png, png_bytep data, png_size_t length) {
  auto* reader = static_cast<PngReader*>(png_get_io_ptr(png));
  if (reader->file->ReadAt(reader->offset, data, length) != length) png_error(png, "truncated");
  reader->offset += length;
}

void PngFail(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngQuiet(png_structp, png_const_charp) {}

// Runs between setjmp and a possible longjmp: only plain C data is live here.
cairo_surface_t* DecodePngInto(png_structp png, png_infop info, PngReader* reader, int target_width, int target_height,
                               std::optional<RowReducer>* reducer, std::vector<png_byte>* source_row,
                               std::vector<std::uint32_t>* premultiplied) {
  cairo_surface_t* volatile surface = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    if (surface) cairo_surface_destroy(surface);
    return nullptr;
  }
  png_set_read_fn(png, reader, PngRead);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE || width == 0 || height == 0) return nullptr;
  // Every row as 8-bit RGBA.
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_read_update_info(png, info);
  const int out_width = std::min<int>(target_width, static_cast<int>(width));
  const int out_height = std::min<int>(target_height, static_cast<int>(height));
  surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, out_width, out_height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  unsigned char* pixels = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  source_row->resize(static_cast<std::size_t>(width) * 4);
  premultiplied->resize(width);
  reducer->emplace(static_cast<int>(width), static_cast<int>(height), out_width, out_height, pixels,
                   static_cast<std::size_t>(stride));
  for (png_uint_32 y = 0; y < height; ++y) {
    png_read_row(png, source_row->data(), nullptr);
    // As the surface keeps pixels: premultiplied, one native 32-bit word each.
    const png_byte* in = source_row->data();
    for (png_uint_32 x = 0; x < width; ++x, in += 4) {
      const std::uint32_t a = in[3];
      (*premultiplied)[x] =
          a << 24 | (in[0] * a + 127) / 255 << 16 | (in[1] * a + 127) / 255 << 8 | (in[2] * a + 127) / 255;
    }
    (*reducer)->AddRow(reinterpret_cast<const std::uint8_t*>(premultiplied->data()));
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

// Null for an interlaced or damaged file (gdk-pixbuf then tries, within the budget).
cairo_surface_t* DecodePngReduced(PictureFile& file, int target_width, int target_height) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngFail, PngQuiet);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  PngReader reader{&file};
  std::optional<RowReducer> reducer;
  std::vector<png_byte> source_row;
  std::vector<std::uint32_t> premultiplied;
  cairo_surface_t* surface =
      info ? DecodePngInto(png, info, &reader, target_width, target_height, &reducer, &source_row, &premultiplied)
           : nullptr;
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  return surface;
}

// --- GIF, reduced while it is read ------------------------------------------

struct GifReader {
  PictureFile* file;
  std::uint64_t offset = 0;
};

int GifRead(GifFileType* gif, GifByteType* out, int size) {
  auto* reader = static_cast<GifReader*>(gif->UserData);
  const std::size_t n = reader->file->ReadAt(reader->offset, out, static_cast<std::size_t>(std::max(size, 0)));
  reader->offset += n;
  return static_cast<int>(n);
}

// The first frame's colour indexes, row by row as stored (interlaced frames
// in their four passes). Rows a damaged file does not reach stay unmarked in
// `rows_read`. False when there is no frame or no colour table.
bool ReadFirstGifFrame(GifFileType* gif, std::vector<GifByteType>& indexes, std::vector<char>& rows_read,
                       int& transparent) {
  transparent = -1;
  for (GifRecordType type; DGifGetRecordType(gif, &type) == GIF_OK;) {
    if (type == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* block = nullptr;
      if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
      GraphicsControlBlock control{};
      if (code == GRAPHICS_EXT_FUNC_CODE && block && DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
        transparent = control.TransparentColor;
      while (block)
        if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
    } else if (type == IMAGE_DESC_RECORD_TYPE) {
      if (DGifGetImageDesc(gif) != GIF_OK) return false;
      const GifImageDesc& frame = gif->Image;
      if (frame.Width <= 0 || frame.Height <= 0 ||
          static_cast<std::int64_t>(frame.Width) * frame.Height > kPictureBudgetPixels ||
          !(frame.ColorMap ? frame.ColorMap : gif->SColorMap))
        return false;
      indexes.assign(static_cast<std::size_t>(frame.Width) * static_cast<std::size_t>(frame.Height), 0);
      rows_read.assign(static_cast<std::size_t>(frame.Height), 0);
      static constexpr int kPassStart[] = {0, 4, 2, 1}, kPassStep[] = {8, 8, 4, 2};
      const int passes = frame.Interlace ? 4 : 1;
      for (int pass = 0; pass < passes; ++pass)
        for (int y = frame.Interlace ? kPassStart[pass] : 0; y < frame.Height;
             y += frame.Interlace ? kPassStep[pass] : 1) {
          if (DGifGetLine(gif, &indexes[static_cast<std::size_t>(y) * frame.Width], frame.Width) != GIF_OK)
            return std::find(rows_read.begin(), rows_read.end(), 1) != rows_read.end();
          rows_read[static_cast<std::size_t>(y)] = 1;
        }
      return true;
    } else {
      return false;  // the end before any frame
    }
  }
  return false;
}

// The first frame over the transparent logical screen, reduced to at most
// the target: only the frame's colour indexes (a byte a pixel) are held
// besides the output, where decoding to full size would take five bytes.
cairo_surface_t* DecodeGifReduced(PictureFile& file, int target_width, int target_height) {
  GifReader reader{&file};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, GifRead, &error);
  if (!gif) return nullptr;
  std::vector<GifByteType> indexes;
  std::vector<char> rows_read;
  int transparent = -1;
  cairo_surface_t* surface = nullptr;
  const int width = gif->SWidth, height = gif->SHeight;
  if (width > 0 && height > 0 && static_cast<std::int64_t>(width) * height <= kPictureBudgetPixels &&
      ReadFirstGifFrame(gif, indexes, rows_read, transparent)) {
    const GifImageDesc& frame = gif->Image;
    const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::min(target_width, width), std::min(target_height, height));
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
      RowReducer reducer(width, height, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface),
                         cairo_image_surface_get_data(surface),
                         static_cast<std::size_t>(cairo_image_surface_get_stride(surface)));
      std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
      for (int y = 0; y < height; ++y) {
        std::fill(row.begin(), row.end(), 0u);  // transparent
        const int fy = y - frame.Top;
        if (fy >= 0 && fy < frame.Height && rows_read[static_cast<std::size_t>(fy)])
          for (int fx = std::max(0, -frame.Left); fx < frame.Width && frame.Left + fx < width; ++fx) {
            const int index = indexes[static_cast<std::size_t>(fy) * frame.Width + fx];
            if (index == transparent || index >= colours->ColorCount) continue;
            const GifColorType& c = colours->Colors[index];
            row[static_cast<std::size_t>(frame.Left + fx)] = 0xFF000000u | c.Red << 16 | c.Green << 8 | c.Blue;
          }
        reducer.AddRow(reinterpret_cast<const std::uint8_t*>(row.data()));
      }
      cairo_surface_mark_dirty(surface);
    } else {
      cairo_surface_destroy(surface);
      surface = nullptr;
    }
  }
  DGifCloseFile(gif, &error);
  return surface;
}

// --- BMP, reduced while it is read ------------------------------------------

cairo_surface_t* DecodeBmpReduced(PictureFile& file, int target_width, int target_height) {
  BmpRowReader bmp(file);
  if (!bmp.ok()) return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::min(target_width, bmp.width()),
                                                        std::min(target_height, bmp.height()));
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  RowReducer reducer(bmp.width(), bmp.height(), cairo_image_surface_get_width(surface),
                     cairo_image_surface_get_height(surface), cairo_image_surface_get_data(surface),
                     static_cast<std::size_t>(cairo_image_surface_get_stride(surface)));
  std::vector<std::uint32_t> row(static_cast<std::size_t>(bmp.width()));
  for (int y = 0; y < bmp.height(); ++y) {
    std::fill(row.begin(), row.end(), 0u);  // rows past a damaged end stay transparent
    bmp.NextRow(row.data());
    reducer.AddRow(reinterpret_cast<const std::uint8_t*>(row.data()));
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

// --- other formats, through gdk-pixbuf -----------------------------------------

// The one loader each recognised format may use.
const char* LoaderName(PictureFormat format) {
  switch (format) {
    case PictureFormat::Jpeg: return "jpeg";
    case PictureFormat::Png: return "png";
    case PictureFormat::Gif: return "gif";
    case PictureFormat::Bmp: return "bmp";
    case PictureFormat::Wmf: return "wmf";
    default: return nullptr;
  }
}

// A metafile is drawn straight at the target size: the WMF loader announces
// its size as -1 x -1, and scales as it renders.
GdkPixbuf* DecodeWithLoader(PictureFile& file, PictureFormat format) {
  const char* name = LoaderName(format);
  GdkPixbufLoader* loader = name ? gdk_pixbuf_loader_new_with_type(name, nullptr) : nullptr;
  if (!loader) return nullptr;
  bool ok = true;
  std::vector<guchar> buffer(65536);
  std::uint64_t offset = 0;
  for (std::size_t n; ok && (n = file.ReadAt(offset, buffer.data(), buffer.size())) > 0; offset += n)
    ok = gdk_pixbuf_loader_write(loader, buffer.data(), n, nullptr);
  ok = gdk_pixbuf_loader_close(loader, nullptr) && ok;
  GdkPixbuf* pixbuf = ok ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  if (pixbuf) g_object_ref(pixbuf);
  g_object_unref(loader);
  return pixbuf;
}

}  // namespace

void RestrictPixbufLoaders() {
  static constexpr std::array<std::string_view, 5> kShown = {"jpeg", "png", "gif", "bmp", "wmf"};
  GSList* formats = gdk_pixbuf_get_formats();
  for (GSList* f = formats; f; f = f->next) {
    auto* format = static_cast<GdkPixbufFormat*>(f->data);
    gchar* name = gdk_pixbuf_format_get_name(format);
    const std::string_view view = name ? name : "";
    gdk_pixbuf_format_set_disabled(format, std::find(kShown.begin(), kShown.end(), view) == kShown.end());
    g_free(name);
  }
  g_slist_free(formats);
}

std::size_t DecodeWorkingBytes(const PictureHeader& header, int target_width, int target_height) {
  const auto pixels = [](std::int64_t w, std::int64_t h) {
    return static_cast<std::size_t>(std::max<std::int64_t>(w, 0) * std::max<std::int64_t>(h, 0));
  };
  const std::size_t target = pixels(target_width, target_height) * 4;
  switch (header.format) {
    // Decoded at a scale that covers the target (at most twice its sides),
    // then reduced; a progressive file adds its coefficient pool.
    case PictureFormat::Jpeg:
      return target * 5 + (header.progressive ? std::min(pixels(header.width, header.height) * 6, kJpegPoolBytes) : 0);
    case PictureFormat::Png:
      return target + pixels(header.width, 1) * 12;  // one source row, as read and premultiplied
    // Colour indexes, a byte a pixel (a run-length BMP's too), and a row.
    case PictureFormat::Gif:
    case PictureFormat::Bmp: return pixels(header.width, header.height) + target + pixels(header.width, 1) * 8;
    case PictureFormat::Wmf: return target * 2;
    default: return pixels(header.width, header.height) * 4 + target;
  }
}

namespace {

cairo_surface_t* DecodeStored(PictureFile& file, const PictureHeader& header, int target_width, int target_height) {
  if (header.format == PictureFormat::Wmf && !MetafileRecordsAreSound(file)) return nullptr;
  if (header.format == PictureFormat::Jpeg && header.width * header.height <= kMaxJpegPixels) {
    if (cairo_surface_t* surface = DecodeJpeg(file, target_width, target_height)) {
      const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
      if (w <= target_width && h <= target_height) return surface;
      cairo_surface_t* reduced = ReduceOpaque(surface, std::min(w, target_width), std::min(h, target_height));
      cairo_surface_destroy(surface);
      return reduced;
    }
    // Not for libjpeg-turbo (CMYK, damaged): gdk-pixbuf's loader may still manage.
  }
  if (header.format == PictureFormat::Png) {
    if (cairo_surface_t* surface = DecodePngReduced(file, target_width, target_height)) return surface;
  }
  // No second try with gdk-pixbuf, which would hold the whole picture (a GIF five times over).
  if (header.format == PictureFormat::Gif) return DecodeGifReduced(file, target_width, target_height);
  if (header.format == PictureFormat::Bmp) return DecodeBmpReduced(file, target_width, target_height);
  GdkPixbuf* pixbuf = nullptr;
  if (header.format == PictureFormat::Wmf) {
    pixbuf = PlayMetafileAside(file, target_width, target_height);
  } else if (header.kind == PictureKind::Raster && FitsPictureBudget(header)) {
    pixbuf = DecodeWithLoader(file, header.format);
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

cairo_surface_t* DecodeCairoPicture(PictureFile& file, const PictureHeader& header, int target_width,
                                    int target_height) {
  target_width = std::clamp(target_width, 1, kMaxSurfaceSide);
  target_height = std::clamp(target_height, 1, kMaxSurfaceSide);
  // Decoded and reduced as stored, then turned: the turn costs only the drawn pixels.
  if (SwapsSides(header.orientation)) std::swap(target_width, target_height);
  return TurnUpright(DecodeStored(file, header, target_width, target_height), header.orientation);
}

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
