// The program's own decoding, the same on every platform: libjpeg-turbo for
// JPEG (DCT scaling, its memory bounded by what the budget counted), libpng
// for PNGs, giflib for GIFs and the program's own BMP reader, each reduced
// row by row so the full picture is rarely in memory; metafiles are played
// by the platform's player from the bytes that were checked. Every byte
// comes through the PictureFile; each decoder checks that the file still
// says what the header reader read, since the budget was counted from that.
#include "decode/picture_decoder.h"

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <bit>
#include <csetjmp>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "decode/bmp_rows.h"
#include "decode/exif_orientation.h"
#include "decode/format_codecs.h"
#include "decode/picture_formats.h"
#include "decode/metafile_player.h"
#include "decode/metafile_records.h"
#include "decode/picture_layout.h"
#include "decode/row_reducer.h"

namespace {

// DCT scaling decodes a JPEG into as little as 1/64 of its pixels, but its
// entropy data must still be read in full: beyond this size (a 20,000 x
// 20,000 panorama) a frame would take seconds, so such a file is not drawn.
constexpr std::int64_t kMaxJpegPixels = kPictureBudgetPixels * 8;

// What the libraries allocate of their own besides what the header says
// they hold: libjpeg a few rows of blocks of each colour (under 128 bytes a
// column) and its tables; libpng two rows of up to 8 bytes a pixel and
// ancillary chunks up to its 8 MB limit; giflib and the BMP reader their
// tables and a block of the file.
std::size_t JpegOwnBytes(std::int64_t width) { return static_cast<std::size_t>(width) * 128 + (1u << 20); }
std::size_t PngOwnBytes(std::int64_t width) { return static_cast<std::size_t>(width) * 16 + (8u << 20); }
constexpr std::size_t kSmallTables = 256u << 10;

// A side after DCT scaling by eighths/8, as libjpeg rounds it.
std::int64_t ScaledSide(std::int64_t side, int eighths) { return (side * eighths + 7) / 8; }

// Decoding a JPEG at a DCT scale to at most the target: its picture (and a
// turned or cropped copy of it), what libjpeg holds, and when the scaled
// picture is larger than the target a row of it and the reducer's tables.
std::size_t JpegBytes(const PictureHeader& header, int eighths, int target_width, int target_height) {
  const std::int64_t width = ScaledSide(header.width, eighths), height = ScaledSide(header.height, eighths);
  const std::int64_t out_width = std::min<std::int64_t>(width, target_width);
  const std::int64_t out_height = std::min<std::int64_t>(height, target_height);
  std::size_t bytes = static_cast<std::size_t>(out_width * out_height) * 4 * 2 +
                      static_cast<std::size_t>(header.held_bytes) + JpegOwnBytes(header.width);
  if (out_width < width || out_height < height)
    bytes += static_cast<std::size_t>(width) * 4 + RowReducer::TableBytes(width, out_width);
  return bytes;
}

// The DCT scale in eighths (1, 2, 4 or 8: libjpeg-turbo has SIMD code for
// these four; a 3/8 decode of a 24-megapixel photo is slower than a 1/2
// one): the smallest whose output covers the target, or smaller while that
// would not fit the decode budget. 0 when even 1/8 does not.
int ChooseJpegScale(const PictureHeader& header, int target_width, int target_height) {
  int eighths = 1;
  while (eighths < 8 &&
         (ScaledSide(header.width, eighths) < target_width || ScaledSide(header.height, eighths) < target_height))
    eighths *= 2;
  for (; eighths >= 1; eighths /= 2)
    if (JpegBytes(header, eighths, target_width, target_height) <= kDecodeBudgetBytes) return eighths;
  return 0;
}

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

// libjpeg-turbo writes the native pixel order itself, alpha opaque.
constexpr J_COLOR_SPACE kNativeOrder = std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB;

// A row of CMYK pixels turned, in place, into native pixels. Adobe's
// programs (which mark their files) store the inks inverted, 255 for none.
void CmykToNative(std::uint8_t* row, std::int64_t width, bool inverted) {
  for (std::int64_t x = 0; x < width; ++x, row += 4) {
    std::uint32_t c = row[0], m = row[1], y = row[2], k = row[3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    const std::uint32_t pixel =
        0xFF000000u | (c * k + 127) / 255 << 16 | (m * k + 127) / 255 << 8 | (y * k + 127) / 255;
    std::memcpy(row, &pixel, 4);
  }
}

// Runs between setjmp and a possible longjmp: only plain C data is live
// here (the picture, the reducer and its row belong to the caller), so
// jumping out of libjpeg skips no destructor.
bool DecodeJpegInto(jpeg_decompress_struct* cinfo, JpegError* err, JpegSource* source, PictureFile& file,
                    const PictureHeader& header, int target_width, int target_height, Pixels* out,
                    std::optional<RowReducer>* reducer, std::vector<std::uint8_t>* row) {
  if (setjmp(err->jump)) return false;
  UseJpegSource(cinfo, source, file);
  jpeg_read_header(cinfo, TRUE);
  if (cinfo->image_width != header.width || cinfo->image_height != header.height ||
      (jpeg_has_multiple_scans(cinfo) && !header.held_bytes))
    return false;
  const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  cinfo->scale_num = static_cast<unsigned>(ChooseJpegScale(header, target_width, target_height));
  cinfo->scale_denom = 8;
  cinfo->out_color_space = cmyk ? JCS_CMYK : kNativeOrder;
  // Scaled output is reduced further anyway: the cheaper chroma upsampling does not show.
  cinfo->do_fancy_upsampling = cinfo->scale_num < 8 ? FALSE : TRUE;
  jpeg_start_decompress(cinfo);
  const int width = static_cast<int>(cinfo->output_width), height = static_cast<int>(cinfo->output_height);
  *out = Pixels::Allocate(std::min(width, target_width), std::min(height, target_height));
  if (out->empty()) return false;
  out->set_opaque(true);
  if (width > target_width || height > target_height) {
    row->resize(static_cast<std::size_t>(width) * 4);
    reducer->emplace(width, height, out->width(), out->height(), out->data(), out->stride());
  }
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW line =
        *reducer ? row->data() : reinterpret_cast<JSAMPROW>(out->Row(static_cast<int>(cinfo->output_scanline)));
    if (jpeg_read_scanlines(cinfo, &line, 1) != 1) break;
    if (cmyk) CmykToNative(line, width, cinfo->saw_Adobe_marker);
    if (*reducer) (*reducer)->AddRow(line);
  }
  jpeg_finish_decompress(cinfo);
  return true;
}

}  // namespace

Pixels DecodeJpeg(PictureFile& file, const PictureHeader& header, int target_width, int target_height) {
  jpeg_decompress_struct cinfo;
  JpegError err;
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = JpegFail;
  err.mgr.emit_message = JpegQuiet;
  jpeg_create_decompress(&cinfo);
  // What the budget counted for libjpeg: it refuses a file that would take more.
  cinfo.mem->max_memory_to_use = static_cast<long>(header.held_bytes + JpegOwnBytes(header.width));
  auto source = std::make_unique<JpegSource>();
  Pixels out;
  std::optional<RowReducer> reducer;
  std::vector<std::uint8_t> row;
  const bool ok =
      DecodeJpegInto(&cinfo, &err, source.get(), file, header, target_width, target_height, &out, &reducer, &row);
  jpeg_destroy_decompress(&cinfo);
  return ok ? out : Pixels();
}

namespace {

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
// An interlaced picture comes whole (its last pass completes each row) into
// `rows`, then goes through the reducer like the others.
bool DecodePngInto(png_structp png, png_infop info, PngReader* reader, const PictureHeader& header, int target_width,
                   int target_height, Pixels* out, std::optional<RowReducer>* reducer, std::vector<png_byte>* rows,
                   std::vector<std::uint32_t>* premultiplied) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, reader, PngRead);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  const bool interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
  if (width != header.width || height != header.height || (interlaced && !header.held_bytes)) return false;
  // Every row as 8-bit RGBA.
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  *out = Pixels::Allocate(std::min<int>(target_width, static_cast<int>(width)),
                          std::min<int>(target_height, static_cast<int>(height)));
  if (out->empty()) return false;
  const std::size_t row_bytes = static_cast<std::size_t>(width) * 4;
  rows->resize(row_bytes * (interlaced ? height : 1));
  for (int pass = 1; pass < passes; ++pass)
    for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, rows->data() + row_bytes * y, nullptr);
  premultiplied->resize(width);
  reducer->emplace(static_cast<int>(width), static_cast<int>(height), out->width(), out->height(), out->data(),
                   out->stride());
  for (png_uint_32 y = 0; y < height; ++y) {
    png_byte* row = rows->data() + (interlaced ? row_bytes * y : 0);
    png_read_row(png, row, nullptr);
    const png_byte* in = row;
    for (png_uint_32 x = 0; x < width; ++x, in += 4) {
      const std::uint32_t a = in[3];
      (*premultiplied)[x] =
          a << 24 | (in[0] * a + 127) / 255 << 16 | (in[1] * a + 127) / 255 << 8 | (in[2] * a + 127) / 255;
    }
    (*reducer)->AddRow(reinterpret_cast<const std::uint8_t*>(premultiplied->data()));
  }
  return true;
}

}  // namespace

Pixels DecodePng(PictureFile& file, const PictureHeader& header, int target_width, int target_height) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngFail, PngQuiet);
  if (!png) return {};
  png_infop info = png_create_info_struct(png);
  PngReader reader{&file};
  Pixels out;
  std::optional<RowReducer> reducer;
  std::vector<png_byte> rows;
  std::vector<std::uint32_t> premultiplied;
  const bool ok = info && DecodePngInto(png, info, &reader, header, target_width, target_height, &out, &reducer, &rows,
                                        &premultiplied);
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  return ok ? out : Pixels();
}

namespace {

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

// The colour indexes of the first frame's part inside the logical screen
// (a frame may be far larger than the screen, which alone the budget
// counts), row by row as stored (interlaced frames in their four passes).
// Rows a damaged file does not reach stay unmarked in `rows_read`. False
// when there is no frame or no colour table.
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
      const int shown_width = std::clamp(gif->SWidth - frame.Left, 0, frame.Width);
      const int shown_height = std::clamp(gif->SHeight - frame.Top, 0, frame.Height);
      indexes.assign(static_cast<std::size_t>(shown_width) * static_cast<std::size_t>(shown_height), 0);
      rows_read.assign(static_cast<std::size_t>(shown_height), 0);
      std::vector<GifByteType> line(static_cast<std::size_t>(frame.Width));
      static constexpr int kPassStart[] = {0, 4, 2, 1}, kPassStep[] = {8, 8, 4, 2};
      const int passes = frame.Interlace ? 4 : 1;
      for (int pass = 0; pass < passes; ++pass)
        for (int y = frame.Interlace ? kPassStart[pass] : 0; y < frame.Height;
             y += frame.Interlace ? kPassStep[pass] : 1) {
          if (DGifGetLine(gif, line.data(), frame.Width) != GIF_OK)
            return std::find(rows_read.begin(), rows_read.end(), 1) != rows_read.end();
          if (y >= shown_height) {
            if (frame.Interlace) continue;
            return true;  // the rest lies below the screen
          }
          std::copy_n(line.begin(), shown_width, indexes.begin() + static_cast<std::ptrdiff_t>(y) * shown_width);
          rows_read[static_cast<std::size_t>(y)] = 1;
        }
      return true;
    } else {
      return false;  // the end before any frame
    }
  }
  return false;
}

}  // namespace

// The first frame over the transparent logical screen, reduced to at most
// the target: only the frame's colour indexes (a byte a pixel) are held
// besides the output, where decoding to full size would take five bytes.
Pixels DecodeGif(PictureFile& file, const PictureHeader& header, int target_width, int target_height) {
  GifReader reader{&file};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, GifRead, &error);
  if (!gif) return {};
  std::vector<GifByteType> indexes;
  std::vector<char> rows_read;
  int transparent = -1;
  Pixels out;
  const int width = gif->SWidth, height = gif->SHeight;
  if (width == header.width && height == header.height && ReadFirstGifFrame(gif, indexes, rows_read, transparent))
    out = Pixels::Allocate(std::min(target_width, width), std::min(target_height, height));
  if (!out.empty()) {
    const GifImageDesc& frame = gif->Image;
    const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    const int shown_width = static_cast<int>(rows_read.empty() ? 0 : indexes.size() / rows_read.size());
    RowReducer reducer(width, height, out.width(), out.height(), out.data(), out.stride());
    std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
      std::fill(row.begin(), row.end(), 0u);  // transparent
      const int fy = y - frame.Top;
      if (fy >= 0 && fy < static_cast<int>(rows_read.size()) && rows_read[static_cast<std::size_t>(fy)])
        for (int fx = 0; fx < shown_width; ++fx) {
          const int index = indexes[static_cast<std::size_t>(fy) * shown_width + fx];
          if (index == transparent || index >= colours->ColorCount) continue;
          const GifColorType& c = colours->Colors[index];
          row[static_cast<std::size_t>(frame.Left + fx)] = 0xFF000000u | c.Red << 16 | c.Green << 8 | c.Blue;
        }
      reducer.AddRow(reinterpret_cast<const std::uint8_t*>(row.data()));
    }
  }
  DGifCloseFile(gif, &error);
  return out;
}

// --- BMP, reduced while it is read ------------------------------------------

Pixels DecodeBmp(PictureFile& file, const PictureHeader& header, int target_width, int target_height) {
  BmpRowReader bmp(file);
  if (!bmp.ok() || bmp.width() != header.width || bmp.height() != header.height ||
      (bmp.run_length() && !header.held_bytes))
    return {};
  Pixels out = Pixels::Allocate(std::min(target_width, bmp.width()), std::min(target_height, bmp.height()));
  if (out.empty()) return out;
  RowReducer reducer(bmp.width(), bmp.height(), out.width(), out.height(), out.data(), out.stride());
  std::vector<std::uint32_t> row(static_cast<std::size_t>(bmp.width()));
  for (int y = 0; y < bmp.height(); ++y) {
    std::fill(row.begin(), row.end(), 0u);  // rows past a damaged end stay transparent
    bmp.NextRow(row.data());
    reducer.AddRow(reinterpret_cast<const std::uint8_t*>(row.data()));
  }
  return out;
}

// A metafile is drawn straight at the target size, from the bytes that
// were checked.
Pixels DecodeWmf(PictureFile& file, const PictureHeader&, int target_width, int target_height) {
  const std::unique_ptr<MemoryPictureFile> checked = ReadSoundMetafile(file);
  return checked ? PlayMetafile(checked->bytes(), target_width, target_height) : Pixels();
}

namespace {

// The target within what a surface holds, in the stored orientation: the
// picture is decoded and reduced as stored, then turned (the turn costs only
// the drawn pixels).
std::pair<int, int> StoredTarget(const PictureHeader& header, int target_width, int target_height) {
  target_width = std::clamp(target_width, 1, kMaxDrawnSide);
  target_height = std::clamp(target_height, 1, kMaxDrawnSide);
  if (SwapsSides(header.orientation)) std::swap(target_width, target_height);
  return {target_width, target_height};
}

}  // namespace

// What each format's decode allocates, in the stored orientation, within
// kMaxDrawnSide; the output is counted twice for its turned or cropped copy.
std::size_t ReducedOutputBytes(const PictureHeader& header, int target_width, int target_height) {
  const auto out_width = std::min<std::size_t>(static_cast<std::size_t>(header.width), target_width);
  const auto out_height = std::min<std::size_t>(static_cast<std::size_t>(header.height), target_height);
  return out_width * out_height * 4 * 2 + RowReducer::TableBytes(header.width, static_cast<std::int64_t>(out_width));
}

std::size_t JpegWorkingBytes(const PictureHeader& header, int target_width, int target_height) {
  if (header.kind != PictureKind::Raster || header.width > kMaxJpegPixels / std::max<std::int64_t>(header.height, 1))
    return kTooMuchToDecode;
  const int eighths = ChooseJpegScale(header, target_width, target_height);
  return eighths ? JpegBytes(header, eighths, target_width, target_height) : kTooMuchToDecode;
}

// Rows reduced as they come: the output, the reducer's tables, what the
// header says is held, the library's tables; then each format's rows.
std::size_t RowByRowBytes(const PictureHeader& header, int target_width, int target_height) {
  return ReducedOutputBytes(header, target_width, target_height) + static_cast<std::size_t>(header.held_bytes) +
         kSmallTables;
}

std::size_t PngWorkingBytes(const PictureHeader& header, int target_width, int target_height) {
  if (!FitsPictureBudget(header)) return kTooMuchToDecode;
  const auto width = static_cast<std::size_t>(header.width);  // a row as read, premultiplied
  return RowByRowBytes(header, target_width, target_height) + width * 8 + PngOwnBytes(header.width);
}

std::size_t GifWorkingBytes(const PictureHeader& header, int target_width, int target_height) {
  if (!FitsPictureBudget(header)) return kTooMuchToDecode;
  // a frame's row of indexes (65535 at most), which rows came, a row of pixels
  return RowByRowBytes(header, target_width, target_height) + 65536 + static_cast<std::size_t>(header.height) +
         static_cast<std::size_t>(header.width) * 4;
}

std::size_t BmpWorkingBytes(const PictureHeader& header, int target_width, int target_height) {
  if (!FitsPictureBudget(header)) return kTooMuchToDecode;
  // a stored row (at most 4 bytes a pixel), a row of pixels
  return RowByRowBytes(header, target_width, target_height) + static_cast<std::size_t>(header.width) * 8;
}

// Its bytes read whole, the pixels the player hands back, the surface.
std::size_t WmfWorkingBytes(const PictureHeader&, int target_width, int target_height) {
  return kMaxMetafileBytes + static_cast<std::size_t>(target_width) * static_cast<std::size_t>(target_height) * 4 * 3;
}

std::size_t DecodeWorkingBytes(const PictureHeader& header, int target_width, int target_height) {
  const auto [width, height] = StoredTarget(header, target_width, target_height);
  const PictureFormatEntry* format = FindPictureFormat(header.format);
  return format && header.kind != PictureKind::Unknown ? format->working_bytes(header, width, height)
                                                       : kTooMuchToDecode;
}

Pixels DecodePicture(PictureFile& file, const PictureHeader& header, int target_width, int target_height) {
  if (DecodeWorkingBytes(header, target_width, target_height) > kDecodeBudgetBytes) return {};
  const auto [width, height] = StoredTarget(header, target_width, target_height);
  return TurnUpright(FindPictureFormat(header.format)->decode(file, header, width, height), header.orientation);
}
