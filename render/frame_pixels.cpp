#include "render/frame_pixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Two channels at a time, each in 16 bits: a * (256 - w) + b * w stays
// below 2^16 for bytes.
constexpr std::uint64_t kEvenBytes = 0x00FF00FF00FF00FFull;

std::uint64_t Mix8(std::uint64_t a, std::uint64_t b, std::uint64_t weight) {
  const std::uint64_t keep = 256 - weight;
  const std::uint64_t even = (((a & kEvenBytes) * keep + (b & kEvenBytes) * weight) >> 8) & kEvenBytes;
  const std::uint64_t odd = (((a >> 8) & kEvenBytes) * keep + ((b >> 8) & kEvenBytes) * weight) & ~kEvenBytes;
  return even | odd;
}

std::uint32_t Mix4(std::uint32_t a, std::uint32_t b, std::uint32_t weight) {
  const std::uint32_t keep = 256 - weight;
  const std::uint32_t even = (((a & 0x00FF00FFu) * keep + (b & 0x00FF00FFu) * weight) >> 8) & 0x00FF00FFu;
  const std::uint32_t odd = (((a >> 8) & 0x00FF00FFu) * keep + ((b >> 8) & 0x00FF00FFu) * weight) & 0xFF00FF00u;
  return even | odd;
}

}  // namespace

void BlendFrames(const FrameBuffer& outgoing, const FrameBuffer& incoming, const FrameBuffer& out,
                 int incoming_weight) {
  if (!outgoing.data || !incoming.data || !out.data) return;
  const std::uint64_t weight = static_cast<std::uint64_t>(std::clamp(incoming_weight, 0, 256));
  const int height = std::min({outgoing.height, incoming.height, out.height});
  const std::size_t row = static_cast<std::size_t>(std::min({outgoing.width, incoming.width, out.width})) *
                          static_cast<std::size_t>(out.bytes_per_pixel);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* a = outgoing.data + outgoing.stride * y;
    const std::uint8_t* b = incoming.data + incoming.stride * y;
    std::uint8_t* o = out.data + out.stride * y;
    std::size_t i = 0;
    for (; i + 8 <= row; i += 8) {
      std::uint64_t wa, wb;
      std::memcpy(&wa, a + i, 8), std::memcpy(&wb, b + i, 8);
      const std::uint64_t mixed = Mix8(wa, wb, weight);
      std::memcpy(o + i, &mixed, 8);
    }
    for (; i < row; ++i) o[i] = static_cast<std::uint8_t>((a[i] * (256 - weight) + b[i] * weight) >> 8);
  }
}

void DrawMagnified(const Pixels& picture, const RectF& source, const FrameBuffer& frame, const RectF& shown) {
  if (picture.empty() || !frame.data || !(source.width > 0 && source.height > 0) ||
      !(shown.width > 0 && shown.height > 0))
    return;
  const int x0 = std::max(0, static_cast<int>(std::lround(shown.x)));
  const int y0 = std::max(0, static_cast<int>(std::lround(shown.y)));
  const int x1 = std::min(frame.width, static_cast<int>(std::lround(static_cast<double>(shown.x) + shown.width)));
  const int y1 = std::min(frame.height, static_cast<int>(std::lround(static_cast<double>(shown.y) + shown.height)));
  if (x1 <= x0 || y1 <= y0) return;
  const double scale_x = source.width / static_cast<double>(shown.width);
  const double scale_y = source.height / static_cast<double>(shown.height);
  // Where each pixel's centre falls in the picture, as a pixel and a weight
  // of 256 towards the next one; edges repeat.
  struct Tap {
    int at, next;
    std::uint32_t weight;
  };
  const auto tap = [](double position, int size) {
    position = std::clamp(position, 0.0, static_cast<double>(size - 1));
    const int at = static_cast<int>(position);
    const auto weight = static_cast<std::uint32_t>((position - at) * 256.0 + 0.5);
    return weight >= 256 ? Tap{std::min(at + 1, size - 1), std::min(at + 1, size - 1), 0}
                         : Tap{at, std::min(at + 1, size - 1), weight};
  };
  std::vector<Tap> columns(static_cast<std::size_t>(x1 - x0));
  for (int x = x0; x < x1; ++x)
    columns[static_cast<std::size_t>(x - x0)] = tap(source.x + (x + 0.5 - shown.x) * scale_x - 0.5, picture.width());
  const int bytes = frame.bytes_per_pixel;
  for (int y = y0; y < y1; ++y) {
    const Tap row = tap(source.y + (y + 0.5 - shown.y) * scale_y - 0.5, picture.height());
    const std::uint32_t* top = picture.Row(row.at);
    const std::uint32_t* bottom = picture.Row(row.next);
    std::uint8_t* out = frame.data + frame.stride * y + static_cast<std::ptrdiff_t>(x0) * bytes;
    for (const Tap& column : columns) {
      const std::uint32_t upper = Mix4(top[column.at], top[column.next], column.weight);
      const std::uint32_t lower = Mix4(bottom[column.at], bottom[column.next], column.weight);
      const std::uint32_t pixel = Mix4(upper, lower, row.weight);
      if (bytes == 4) {
        std::memcpy(out, &pixel, 4);
      } else {
        out[0] = static_cast<std::uint8_t>(pixel), out[1] = static_cast<std::uint8_t>(pixel >> 8);
        out[2] = static_cast<std::uint8_t>(pixel >> 16);
      }
      out += bytes;
    }
  }
}
