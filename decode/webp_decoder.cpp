// WebP pictures through libwebp, which decodes from memory: the file is read
// whole (its RIFF size, which the header counted). The first frame (a still
// picture's only one) is taken from WebPDemux and decoded straight to its
// share of the target by libwebp's own scaling, premultiplied, into the
// output; an animation's canvas around a smaller first frame stays
// transparent.
#include <webp/decode.h>
#include <webp/demux.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

#include "decode/format_codecs.h"

namespace {

// libwebp's own: a few rows of macroblocks or of ARGB pixels with their
// caches, the scaler's rows, and the tables of a lossless picture (more
// only for files built to take it, which the reader's memory limit stops).
std::size_t WebpOwnBytes(std::int64_t width) { return static_cast<std::size_t>(width) * 192 + (16u << 20); }

// Native pixels, premultiplied: B, G, R, A in memory on little-endian machines.
constexpr WEBP_CSP_MODE kNativeMode = std::endian::native == std::endian::little ? MODE_bgrA : MODE_Argb;

int Scaled(int at, int side, int scaled_side) {
  return static_cast<int>(std::lround(static_cast<double>(at) * scaled_side / side));
}

}  // namespace

std::size_t WebpWorkingBytes(const PictureHeader& header, int target_width, int target_height) {
  if (!FitsPictureBudget(header)) return kTooMuchToDecode;
  return ReducedOutputBytes(header, target_width, target_height) + static_cast<std::size_t>(header.held_bytes) +
         WebpOwnBytes(header.width);
}

Pixels DecodeWebp(PictureFile& file, const PictureHeader& header, int target_width, int target_height) {
  std::uint8_t riff[8];
  if (file.ReadAt(0, riff, sizeof riff) != sizeof riff) return {};
  const std::uint64_t riff_bytes = (riff[4] | riff[5] << 8 | riff[6] << 16 | std::uint64_t{riff[7]} << 24) + 8;
  if (riff_bytes > static_cast<std::uint64_t>(header.held_bytes)) return {};  // not what was counted
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min<std::uint64_t>(riff_bytes, file.Size())));
  bytes.resize(file.ReadAt(0, bytes.data(), bytes.size()));
  const WebPData data{bytes.data(), bytes.size()};
  WebPDemuxer* demux = WebPDemux(&data);
  if (!demux) return {};
  const int width = static_cast<int>(WebPDemuxGetI(demux, WEBP_FF_CANVAS_WIDTH));
  const int height = static_cast<int>(WebPDemuxGetI(demux, WEBP_FF_CANVAS_HEIGHT));
  WebPIterator frame;
  Pixels out;
  if (width == header.width && height == header.height && WebPDemuxGetFrame(demux, 1, &frame)) {
    out = Pixels::Allocate(std::min(width, target_width), std::min(height, target_height));
    // The frame's place on the reduced canvas.
    const int x0 = Scaled(frame.x_offset, width, out.width()), y0 = Scaled(frame.y_offset, height, out.height());
    const int x1 = std::min(out.width(), Scaled(frame.x_offset + frame.width, width, out.width()));
    const int y1 = std::min(out.height(), Scaled(frame.y_offset + frame.height, height, out.height()));
    WebPDecoderConfig config;
    if (!out.empty() && x1 > x0 && y1 > y0 && WebPInitDecoderConfig(&config)) {
      config.options.use_threads = 0;
      if (x1 - x0 != frame.width || y1 - y0 != frame.height) {
        config.options.use_scaling = 1;
        config.options.scaled_width = x1 - x0;
        config.options.scaled_height = y1 - y0;
      }
      config.output.colorspace = kNativeMode;
      config.output.is_external_memory = 1;
      config.output.u.RGBA.rgba = out.data() + static_cast<std::size_t>(y0) * out.stride() + 4 * x0;
      config.output.u.RGBA.stride = static_cast<int>(out.stride());
      config.output.u.RGBA.size = out.bytes() - static_cast<std::size_t>(y0) * out.stride() - 4 * x0;
      if (WebPDecode(frame.fragment.bytes, frame.fragment.size, &config) != VP8_STATUS_OK) out = Pixels();
      out.set_opaque(!frame.has_alpha && x0 == 0 && y0 == 0 && x1 == out.width() && y1 == out.height());
      WebPFreeDecBuffer(&config.output);
    } else {
      out = Pixels();
    }
    WebPDemuxReleaseIterator(&frame);
  }
  WebPDemuxDelete(demux);
  return out;
}
