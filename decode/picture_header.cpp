#include "decode/picture_header.h"

#include <algorithm>
#include <vector>

#include "decode/exif_orientation.h"
#include "decode/format_codecs.h"
#include "decode/picture_formats.h"
#include "platform/byte_reader.h"

namespace {

// The first bytes of a file in both byte orders; a read past them gives 0.
struct HeaderBytes {
  HeaderBytes(const std::uint8_t* b, std::size_t n) : le(b, n), be(b, n, ByteReader::Order::Big) {}
  ByteReader le, be;
};

PictureHeader Raster(PictureFormat format, std::int64_t width, std::int64_t height) {
  PictureHeader h;
  if (width > 0 && height > 0) {
    h.kind = PictureKind::Raster;
    h.format = format;
    h.width = width;
    h.height = height;
  }
  return h;
}

PictureHeader Metafile(PictureFormat format, std::int64_t width, std::int64_t height) {
  PictureHeader h;
  h.kind = PictureKind::Metafile;
  h.format = format;
  h.width = width < 0 ? -width : width;
  h.height = height < 0 ? -height : height;
  return h;
}

// The most chunks of a WebP file walked to its EXIF chunk: an animation of
// more frames keeps its day to itself.
constexpr int kMaxWebpChunks = 4096;

bool IsStartOfFrame(std::uint8_t marker) {
  // SOF0..SOF15 except DHT (C4), JPG (C8) and DAC (CC).
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The orientation (and the day taken, when asked) in an APP1 segment's
// payload of this length, if it is the EXIF block. Its IFD0 comes first:
// 64 KiB always reach it.
int ReadJpegOrientation(const ReadAt& read, std::uint64_t at, std::uint32_t length, CalendarDate* taken) {
  std::vector<std::uint8_t> payload(std::min<std::uint32_t>(length, 64 * 1024));
  payload.resize(read(at, payload.data(), payload.size()));
  if (taken) *taken = ReadExifDateTaken(payload.data(), payload.size());
  return ReadExifOrientation(payload.data(), payload.size());
}

// The memory libjpeg keeps for every coefficient of the frame whose
// header (after the length) is `sof`: each component's blocks of 64 two-byte
// coefficients, its sides in blocks rounded up to its sampling factors.
// 0 for a frame libjpeg refuses.
std::int64_t CoefficientBytes(const std::uint8_t* sof, std::int64_t width, std::int64_t height) {
  const int components = sof[5];
  int h_max = 1, v_max = 1;
  for (int c = 0; c < components; ++c) {
    const int h = sof[7 + 3 * c] >> 4, v = sof[7 + 3 * c] & 15;
    if (h < 1 || h > 4 || v < 1 || v > 4) return 0;
    h_max = std::max(h_max, h), v_max = std::max(v_max, v);
  }
  std::int64_t bytes = 0;
  for (int c = 0; c < components; ++c) {
    const std::int64_t h = sof[7 + 3 * c] >> 4, v = sof[7 + 3 * c] & 15;
    const std::int64_t across = (width * h + h_max * 8 - 1) / (h_max * 8),
                       down = (height * v + v_max * 8 - 1) / (v_max * 8);
    bytes += (across + h - 1) / h * h * ((down + v - 1) / v * v) * 128;
  }
  return bytes;
}

// Walks the JPEG segments to the frame header, and on to the first scan
// when the frame is not progressive (a first scan without every colour
// means the colours come in separate scans). Each segment says its length,
// so large metadata blocks are skipped, not read (the EXIF block's start
// only, for the orientation, which counts only before the frame).
PictureHeader ReadJpeg(const ReadAt& read, CalendarDate* taken = nullptr) {
  std::uint64_t at = 2;
  int orientation = 0;  // 0: no EXIF block seen yet
  PictureHeader frame;
  std::uint8_t sof[6 + 3 * 4];  // precision, height, width, components, then 3 bytes a component
  for (int segments = 0; segments < 4096; ++segments) {
    std::uint8_t m[2];
    if (read(at, m, 2) != 2 || m[0] != 0xFF) return frame;
    if (m[1] == 0xFF) {  // fill byte before a marker
      ++at;
      continue;
    }
    if (m[1] == 0x01 || (m[1] >= 0xD0 && m[1] <= 0xD7)) {  // markers without a length
      at += 2;
      continue;
    }
    if (m[1] == 0xD8 || m[1] == 0xD9) return frame;
    std::uint8_t seg[8];
    if (read(at + 2, seg, 2) != 2) return frame;
    const std::uint32_t length = ByteReader(seg, 2, ByteReader::Order::Big).U16(0);
    if (length < 2) return frame;
    if (m[1] == 0xDA) {  // the first scan: its first byte counts its colours
      if (frame.kind == PictureKind::Raster && read(at + 4, seg, 1) == 1 && seg[0] < sof[5])
        frame.held_bytes = CoefficientBytes(sof, frame.width, frame.height);
      return frame;
    }
    if (IsStartOfFrame(m[1])) {
      if (frame.kind != PictureKind::Unknown || length < 8 || read(at + 4, sof, 6) != 6) return {};
      const std::uint32_t components = sof[5];
      if (components < 1 || components > 4 || length < 8 + 3 * components ||
          read(at + 10, sof + 6, 3 * components) != 3 * components)
        return {};
      ByteReader frame_bytes(sof, sizeof sof, ByteReader::Order::Big);
      frame = Raster(PictureFormat::Jpeg, frame_bytes.U16(3), frame_bytes.U16(1));  // height 0 (set later) is refused
      if (frame.kind != PictureKind::Raster || !CoefficientBytes(sof, frame.width, frame.height)) return {};
      if (orientation) frame.orientation = orientation;
      if ((m[1] & 0x03) == 0x02) {  // SOF2, SOF6, SOF10, SOF14: progressive
        frame.held_bytes = CoefficientBytes(sof, frame.width, frame.height);
        return frame;
      }
    }
    if (m[1] == 0xE1 && !orientation && frame.kind == PictureKind::Unknown && length >= 8 &&
        read(at + 4, seg, 6) == 6 && std::equal(seg, seg + 6, "Exif\0\0"))
      orientation = ReadJpegOrientation(read, at + 4, length - 2, taken);
    at += 2 + length;
  }
  return frame;
}

// The picture's pixels at so many bytes each; just more than the pixel
// budget's when it is past it (a PNG may claim 4 billion by 4 billion).
std::int64_t PixelBytes(const PictureHeader& h, int bytes) {
  return (FitsPictureBudget(h) ? h.width * h.height : kPictureBudgetPixels + 1) * bytes;
}

}  // namespace

bool IsJpegSignature(const std::uint8_t* b, std::size_t n) {
  return n >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF;
}
PictureHeader ReadJpegHeader(const ReadAt& read, const std::uint8_t*, std::size_t) { return ReadJpeg(read); }
PictureHeader ReadJpegDatedHeader(const ReadAt& read, const std::uint8_t*, std::size_t, CalendarDate& taken) {
  return ReadJpeg(read, &taken);
}

bool IsPngSignature(const std::uint8_t* b, std::size_t n) {
  HeaderBytes bytes(b, n);
  return n >= 29 && bytes.be.U32(0) == 0x89504E47u && bytes.be.U32(4) == 0x0D0A1A0Au &&
         bytes.be.U32(12) == 0x49484452u;  // IHDR
}
PictureHeader ReadPngHeader(const ReadAt&, const std::uint8_t* b, std::size_t n) {
  HeaderBytes bytes(b, n);
  PictureHeader h = Raster(PictureFormat::Png, bytes.be.U32(16), bytes.be.U32(20));
  if (b[28]) h.held_bytes = PixelBytes(h, 4);  // interlaced
  return h;
}

bool IsGifSignature(const std::uint8_t* b, std::size_t n) {
  return n >= 10 && b[0] == 'G' && b[1] == 'I' && b[2] == 'F' && b[3] == '8' && (b[4] == '7' || b[4] == '9') &&
         b[5] == 'a';
}
PictureHeader ReadGifHeader(const ReadAt&, const std::uint8_t* b, std::size_t n) {
  HeaderBytes bytes(b, n);
  PictureHeader h = Raster(PictureFormat::Gif, bytes.le.U16(6), bytes.le.U16(8));
  h.held_bytes = PixelBytes(h, 1);
  return h;
}

bool IsBmpSignature(const std::uint8_t* b, std::size_t n) { return n >= 26 && b[0] == 'B' && b[1] == 'M'; }
PictureHeader ReadBmpHeader(const ReadAt&, const std::uint8_t* b, std::size_t n) {
  HeaderBytes bytes(b, n);
  const std::uint32_t info = bytes.le.U32(14);
  if (info == 12) return Raster(PictureFormat::Bmp, bytes.le.U16(18), bytes.le.U16(20));
  if (info < 40 || n < 34) return {};
  // Height is negative for top-down rows.
  const std::int64_t width = static_cast<std::int32_t>(bytes.le.U32(18));
  const std::int64_t height = static_cast<std::int32_t>(bytes.le.U32(22));
  PictureHeader h = Raster(PictureFormat::Bmp, width, height < 0 ? -height : height);
  if (bytes.le.U32(30) == 1 || bytes.le.U32(30) == 2) h.held_bytes = PixelBytes(h, 1);  // run lengths
  return h;
}

// A placeable WMF, or a plain one: type (memory or disk), a header of 9
// words, version 1 or 3.
bool IsWmfSignature(const std::uint8_t* b, std::size_t n) {
  HeaderBytes bytes(b, n);
  return (n >= 22 && bytes.le.U32(0) == 0x9AC6CDD7u) ||
         (n >= 6 && (bytes.le.U16(0) == 1 || bytes.le.U16(0) == 2) && bytes.le.U16(2) == 9 &&
          (bytes.le.U16(4) == 0x100 || bytes.le.U16(4) == 0x300));
}
PictureHeader ReadWmfHeader(const ReadAt&, const std::uint8_t* b, std::size_t n) {
  HeaderBytes bytes(b, n);
  if (bytes.le.U32(0) == 0x9AC6CDD7u)  // placeable: left, top, right, bottom
    return Metafile(PictureFormat::Wmf, bytes.le.S16(10) - bytes.le.S16(6), bytes.le.S16(12) - bytes.le.S16(8));
  return Metafile(PictureFormat::Wmf, 0, 0);
}

// RIFF, its size, WEBP, then the first chunk: a lossy frame ("VP8 "), a
// lossless one ("VP8L") or the extended header ("VP8X", whose canvas is the
// picture's size, an animation's too). The decoder holds the whole file,
// and a lossy picture's alpha plane. An extended file says in its flags
// when it has an EXIF chunk (after the picture's own).
bool IsWebpSignature(const std::uint8_t* b, std::size_t n) {
  HeaderBytes bytes(b, n);
  return n >= 16 && bytes.be.U32(0) == 0x52494646u && bytes.be.U32(8) == 0x57454250u;  // RIFF, WEBP
}
PictureHeader ReadWebpHeader(const ReadAt&, const std::uint8_t* b, std::size_t n) {
  HeaderBytes bytes(b, n);
  const std::int64_t file_bytes = std::int64_t{bytes.le.U32(4)} + 8;
  const std::uint32_t chunk = bytes.be.U32(12);
  PictureHeader h;
  bool alpha = false;
  if (chunk == 0x56503820u && n >= 30 && b[23] == 0x9D && b[24] == 0x01 && b[25] == 0x2A &&
      !(b[20] & 1)) {  // "VP8 " key frame
    h = Raster(PictureFormat::Webp, bytes.le.U16(26) & 0x3FFF, bytes.le.U16(28) & 0x3FFF);
  } else if (chunk == 0x5650384Cu && n >= 25 && b[20] == 0x2F) {  // "VP8L"
    const std::uint32_t bits = bytes.le.U32(21);
    h = Raster(PictureFormat::Webp, (bits & 0x3FFF) + 1, (bits >> 14 & 0x3FFF) + 1);
  } else if (chunk == 0x56503858u && n >= 30) {  // "VP8X"
    // 24-bit sizes less one
    const auto size = [&bytes](std::size_t at) { return bytes.le.U16(at) | std::uint32_t{bytes.le.U8(at + 2)} << 16; };
    h = Raster(PictureFormat::Webp, size(24) + 1, size(27) + 1);
    alpha = b[20] & 0x10;
  }
  if (h.kind == PictureKind::Raster) h.held_bytes = file_bytes + (alpha ? PixelBytes(h, 1) : 0);
  return h;
}
PictureHeader ReadWebpDatedHeader(const ReadAt& read, const std::uint8_t* b, std::size_t n, CalendarDate& taken) {
  const PictureHeader h = ReadWebpHeader(read, b, n);
  HeaderBytes bytes(b, n);
  if (h.kind != PictureKind::Raster || bytes.be.U32(12) != 0x56503858u || !(b[20] & 0x08)) return h;
  // Each chunk says its length, padded to an even one: they are skipped, not
  // read, up to the EXIF chunk (an animation's frames come before it).
  const std::uint64_t file_bytes = std::uint64_t{bytes.le.U32(4)} + 8;
  std::uint64_t at = 12;
  for (int chunks = 0; chunks < kMaxWebpChunks && at + 8 <= file_bytes; ++chunks) {
    std::uint8_t head[8];
    if (read(at, head, sizeof head) != sizeof head) break;
    const std::uint32_t size = ByteReader(head, sizeof head).U32(4);
    if (std::equal(head, head + 4, "EXIF")) {
      if (size == 0 || size > kMaxExifBytes) break;
      std::vector<std::uint8_t> exif(size);
      if (read(at + 8, exif.data(), size) == size) taken = ReadExifDateTaken(exif.data(), size);
      break;
    }
    at += 8 + std::uint64_t{size} + (size & 1);
  }
  return h;
}

PictureHeader ReadPictureHeader(const ReadAt& read, CalendarDate* taken) {
  if (taken) *taken = {};
  std::uint8_t b[64] = {};
  const std::size_t n = read(0, b, sizeof b);
  for (const PictureFormatEntry& format : PictureFormats())
    if (format.signature(b, n))
      return taken && format.read_dated_header ? format.read_dated_header(read, b, n, *taken)
                                               : format.read_header(read, b, n);
  return {};
}

std::int64_t UprightWidth(const PictureHeader& header) {
  return SwapsSides(header.orientation) ? header.height : header.width;
}
std::int64_t UprightHeight(const PictureHeader& header) {
  return SwapsSides(header.orientation) ? header.width : header.height;
}

bool FitsPictureBudget(const PictureHeader& header) {
  if (header.kind == PictureKind::Metafile) return true;
  // Divided, not multiplied: a PNG header may claim 4 billion by 4 billion.
  return header.kind == PictureKind::Raster && header.width <= kPictureBudgetPixels &&
         header.height <= kPictureBudgetPixels / header.width;
}
