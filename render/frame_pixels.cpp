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
  const std::size_t width = static_cast<std::size_t>(x1 - x0);
  std::vector<Tap> columns(width);
  for (int x = x0; x < x1; ++x)
    columns[static_cast<std::size_t>(x - x0)] = tap(source.x + (x + 0.5 - shown.x) * scale_x - 0.5, picture.width());
  // Two passes: each picture row needed is scaled across once and kept
  // while the frame's rows between it and the next are blended from them.
  std::vector<std::uint32_t> rows[2] = {std::vector<std::uint32_t>(width), std::vector<std::uint32_t>(width)};
  int held[2] = {-1, -1};
  const auto across = [&](int y) -> const std::uint32_t* {
    for (int i = 0; i < 2; ++i)
      if (held[i] == y) return rows[i].data();
    const int slot = held[0] < held[1] ? 0 : 1;  // the row further up is done with
    const std::uint32_t* in = picture.Row(y);
    std::uint32_t* out = rows[slot].data();
    for (std::size_t i = 0; i < width; ++i) out[i] = Mix4(in[columns[i].at], in[columns[i].next], columns[i].weight);
    held[slot] = y;
    return out;
  };
  std::vector<std::uint32_t> mixed(width);
  const int bytes = frame.bytes_per_pixel;
  for (int y = y0; y < y1; ++y) {
    const Tap row = tap(source.y + (y + 0.5 - shown.y) * scale_y - 0.5, picture.height());
    const std::uint32_t* top = across(row.at);
    const std::uint32_t* bottom = across(row.next);
    std::uint8_t* out = frame.data + frame.stride * y + static_cast<std::ptrdiff_t>(x0) * bytes;
    std::uint32_t* into = mixed.data();
    std::size_t i = 0;
    for (; i + 2 <= width; i += 2) {
      std::uint64_t a, b;
      std::memcpy(&a, top + i, 8), std::memcpy(&b, bottom + i, 8);
      const std::uint64_t m = Mix8(a, b, row.weight);
      std::memcpy(into + i, &m, 8);
    }
    for (; i < width; ++i) into[i] = Mix4(top[i], bottom[i], row.weight);
    if (bytes == 4) {
      std::memcpy(out, mixed.data(), width * 4);
      continue;
    }
    for (std::size_t k = 0; k < width; ++k, out += 3) {
      const std::uint32_t pixel = mixed[k];
      out[0] = static_cast<std::uint8_t>(pixel), out[1] = static_cast<std::uint8_t>(pixel >> 8);
      out[2] = static_cast<std::uint8_t>(pixel >> 16);
    }
  }
}
