#include "render/frame_pixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Bytes and their 16-bit products, several pixels to a vector: the
// compiler turns each operation into one instruction of the machine's.
using Bytes8 = std::uint8_t __attribute__((vector_size(8)));
using Bytes16 = std::uint8_t __attribute__((vector_size(16)));
using Lanes16 = std::uint16_t __attribute__((vector_size(16)));
using Lanes16x2 = std::uint16_t __attribute__((vector_size(32)));

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

// One picture row scaled across: out[i] mixes the pixels at[i] and
// at[i] + 1 by weights[i]. Two columns at a time where the machine has
// SSE2 (every 64-bit PC), one at a time in portable vectors elsewhere.
void ScaleAcross(const std::uint32_t* in, const int* at, const Lanes16* weights, std::size_t width,
                 std::uint32_t* out) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; i + 2 <= width; i += 2) {
    const __m128i first = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + at[i]));
    const __m128i second = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + at[i + 1]));
    __m128i w0, w1;
    std::memcpy(&w0, &weights[i], 16), std::memcpy(&w1, &weights[i + 1], 16);
    const __m128i m0 = _mm_mullo_epi16(_mm_unpacklo_epi8(first, zero), w0);  // left * keep, right * weight
    const __m128i m1 = _mm_mullo_epi16(_mm_unpacklo_epi8(second, zero), w1);
    const __m128i sum = _mm_srli_epi16(_mm_add_epi16(_mm_unpacklo_epi64(m0, m1), _mm_unpackhi_epi64(m0, m1)), 8);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(sum, sum));
  }
#endif
  for (; i < width; ++i) {
    Bytes8 pair;
    std::memcpy(&pair, in + at[i], 8);
    Lanes16 mixed = __builtin_convertvector(pair, Lanes16) * weights[i];
    mixed = (mixed + __builtin_shufflevector(mixed, mixed, 4, 5, 6, 7, 0, 1, 2, 3)) >> 8;
    const Bytes8 pixel = __builtin_convertvector(mixed, Bytes8);
    std::memcpy(out + i, &pixel, 4);
  }
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

PixelRect DrawMagnified(const Pixels& picture, const RectF& source, const FrameBuffer& frame, const RectF& shown) {
  if (picture.empty() || !frame.data || !(source.width > 0 && source.height > 0) ||
      !(shown.width > 0 && shown.height > 0))
    return {};
  const int x0 = std::max(0, static_cast<int>(std::lround(shown.x)));
  const int y0 = std::max(0, static_cast<int>(std::lround(shown.y)));
  const int x1 = std::min(frame.width, static_cast<int>(std::lround(static_cast<double>(shown.x) + shown.width)));
  const int y1 = std::min(frame.height, static_cast<int>(std::lround(static_cast<double>(shown.y) + shown.height)));
  if (x1 <= x0 || y1 <= y0) return {};
  const double scale_x = source.width / static_cast<double>(shown.width);
  const double scale_y = source.height / static_cast<double>(shown.height);
  // Where a pixel's centre falls in the picture: between pixel `at` and the
  // next, `weight` of 256 towards the next; edges repeat. A picture one
  // pixel across reads its only pixel twice.
  struct Tap {
    int at;
    std::uint16_t weight;
  };
  const auto tap = [](double position, int size) {
    if (size < 2) return Tap{0, 0};
    position = std::clamp(position, 0.0, static_cast<double>(size - 1));
    const int at = std::min(static_cast<int>(position), size - 2);
    return Tap{at, static_cast<std::uint16_t>(std::lround((position - at) * 256.0))};
  };
  const std::size_t width = static_cast<std::size_t>(x1 - x0);
  // Each column's pair of picture pixels and their weights, as the vector
  // multiplies them: the left pixel's four bytes, then the right one's.
  std::vector<int> column_at(width);
  std::vector<Lanes16> column_weights(width);
  for (std::size_t i = 0; i < width; ++i) {
    const Tap t = tap(source.x + (x0 + static_cast<double>(i) + 0.5 - shown.x) * scale_x - 0.5, picture.width());
    const std::uint16_t keep = static_cast<std::uint16_t>(256 - t.weight);
    column_at[i] = t.at;
    column_weights[i] = Lanes16{keep, keep, keep, keep, t.weight, t.weight, t.weight, t.weight};
  }
  // Two passes: each picture row needed is scaled across once and kept
  // while the frame's rows between it and the next are blended from them.
  std::vector<std::uint32_t> rows[2] = {std::vector<std::uint32_t>(width), std::vector<std::uint32_t>(width)};
  int held[2] = {-1, -1};
  const auto across = [&](int y) -> const std::uint32_t* {
    for (int i = 0; i < 2; ++i)
      if (held[i] == y) return rows[i].data();
    const int slot = held[0] < held[1] ? 0 : 1;  // the row further up is done with
    const std::uint32_t* in = picture.Row(y);
    const std::uint32_t doubled[2] = {in[0], in[0]};  // a picture one pixel across
    ScaleAcross(picture.width() < 2 ? doubled : in, column_at.data(), column_weights.data(), width,
                rows[slot].data());
    held[slot] = y;
    return rows[slot].data();
  };
  std::vector<std::uint32_t> mixed(width);
  const int bytes = frame.bytes_per_pixel;
  for (int y = y0; y < y1; ++y) {
    const Tap row = tap(source.y + (y + 0.5 - shown.y) * scale_y - 0.5, picture.height());
    const std::uint32_t* top = across(row.at);
    const std::uint32_t* bottom = across(std::min(row.at + 1, picture.height() - 1));
    std::uint8_t* out = frame.data + frame.stride * y + static_cast<std::ptrdiff_t>(x0) * bytes;
    // Four pixels at a time, straight into a frame of four bytes a pixel.
    std::uint32_t* into = bytes == 4 ? reinterpret_cast<std::uint32_t*>(out) : mixed.data();
    const Lanes16x2 keep = Lanes16x2{} + static_cast<std::uint16_t>(256 - row.weight);
    const Lanes16x2 weight = Lanes16x2{} + row.weight;
    std::size_t i = 0;
    for (; i + 4 <= width; i += 4) {
      Bytes16 a, b;
      std::memcpy(&a, top + i, 16), std::memcpy(&b, bottom + i, 16);
      const Lanes16x2 blend =
          (__builtin_convertvector(a, Lanes16x2) * keep + __builtin_convertvector(b, Lanes16x2) * weight) >> 8;
      const Bytes16 result = __builtin_convertvector(blend, Bytes16);
      std::memcpy(into + i, &result, 16);
    }
    for (; i < width; ++i) {
      const std::uint32_t pixel = Mix4(top[i], bottom[i], row.weight);
      std::memcpy(into + i, &pixel, 4);
    }
    if (bytes == 4) continue;
    std::size_t k = 0;
    for (; k + 4 <= width; k += 4, out += 12) {  // four pixels into twelve bytes
      const std::uint32_t* q = mixed.data() + k;
      const std::uint64_t p[4] = {q[0], q[1], q[2], q[3]};
      const std::uint64_t low = (p[0] & 0xFFFFFF) | (p[1] & 0xFFFFFF) << 24 | p[2] << 48;
      const std::uint32_t high = static_cast<std::uint32_t>(((p[2] >> 16) & 0xFF) | p[3] << 8);
      std::memcpy(out, &low, 8), std::memcpy(out + 8, &high, 4);
    }
    for (; k < width; ++k, out += 3) {
      const std::uint32_t pixel = mixed[k];
      out[0] = static_cast<std::uint8_t>(pixel), out[1] = static_cast<std::uint8_t>(pixel >> 8);
      out[2] = static_cast<std::uint8_t>(pixel >> 16);
    }
  }
  return PixelRect{x0, y0, x1, y1};
}

PixelRect DrawPicturePart(const PreparedPicture& picture, const RectF& source, const FrameBuffer& frame,
                          const RectF& shown) {
  const PicturePlacement& at = picture.placement;
  const Pixels& pixels = picture.pixels;
  if (pixels.empty() || !at.draw || !(at.width > 0 && at.height > 0)) return {};
  const double sx = pixels.width() / static_cast<double>(at.width);
  const double sy = pixels.height() / static_cast<double>(at.height);
  const RectF part{static_cast<float>((source.x - at.x) * sx), static_cast<float>((source.y - at.y) * sy),
                   static_cast<float>(source.width * sx), static_cast<float>(source.height * sy)};
  return DrawMagnified(pixels, part, frame, shown);
}

namespace {

// The rows and columns of a frame where any pixel's colour differs from
// `background` in each of its bytes (the unused fourth byte does not count).
PixelRect Differing(const FrameBuffer& frame, std::uint8_t background) {
  PixelRect found{frame.width, frame.height, 0, 0};
  const auto differs = [&](const std::uint8_t* pixel) {
    return pixel[0] != background || pixel[1] != background || pixel[2] != background;
  };
  for (int y = 0; y < frame.height; ++y) {
    const std::uint8_t* row = frame.data + frame.stride * y;
    const int step = frame.bytes_per_pixel;
    int first = 0;
    while (first < frame.width && !differs(row + first * step)) ++first;
    if (first == frame.width) continue;
    int last = frame.width;
    while (!differs(row + (last - 1) * step)) --last;
    found.top = std::min(found.top, y), found.bottom = y + 1;
    found.left = std::min(found.left, first), found.right = std::max(found.right, last);
  }
  return found.empty() ? PixelRect{} : found;
}

PixelRect Union(const PixelRect& a, const PixelRect& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// Blue, green, red of a frame's pixel.
const std::uint8_t* PixelAt(const FrameBuffer& frame, int x, int y) {
  return frame.data + frame.stride * y + static_cast<std::ptrdiff_t>(x) * frame.bytes_per_pixel;
}

}  // namespace

TextStamp CaptureText(const std::function<FrameBuffer(std::uint8_t background)>& draw_over) {
  // Over black the text leaves its premultiplied colour; only that part is
  // kept while the frame is reused for white.
  const FrameBuffer black = draw_over(0);
  if (!black.data || black.bytes_per_pixel < 3) return {};
  const int width = black.width, height = black.height;
  const PixelRect on_black = Differing(black, 0);
  std::vector<std::uint8_t> colours(static_cast<std::size_t>(on_black.right - on_black.left) *
                                    static_cast<std::size_t>(on_black.bottom - on_black.top) * 3);
  for (int y = on_black.top, i = 0; y < on_black.bottom; ++y)
    for (int x = on_black.left; x < on_black.right; ++x, i += 3) std::memcpy(&colours[i], PixelAt(black, x, y), 3);
  const FrameBuffer white = draw_over(255);
  if (!white.data || white.width != width || white.height != height || white.bytes_per_pixel < 3) return {};
  TextStamp stamp;
  stamp.at = Union(on_black, Differing(white, 255));
  if (stamp.at.empty()) return {};
  const PixelRect& at = stamp.at;
  stamp.pixels.resize(static_cast<std::size_t>(at.right - at.left) * static_cast<std::size_t>(at.bottom - at.top));
  std::uint32_t* out = stamp.pixels.data();
  for (int y = at.top; y < at.bottom; ++y) {
    for (int x = at.left; x < at.right; ++x, ++out) {
      static constexpr std::uint8_t kNone[3] = {0, 0, 0};
      const bool kept = x >= on_black.left && x < on_black.right && y >= on_black.top && y < on_black.bottom;
      const std::uint8_t* b =
          kept ? &colours[(static_cast<std::size_t>(y - on_black.top) * (on_black.right - on_black.left) +
                           static_cast<std::size_t>(x - on_black.left)) * 3]
               : kNone;
      const std::uint8_t* w = PixelAt(white, x, y);
      // White shows through as much as the text lets black through.
      int alpha = 0;
      for (int c = 0; c < 3; ++c) alpha = std::max(alpha, 255 - std::max(w[c] - b[c], 0));
      std::uint32_t pixel = static_cast<std::uint32_t>(alpha) << 24;
      for (int c = 0; c < 3; ++c) pixel |= static_cast<std::uint32_t>(std::min<int>(b[c], alpha)) << (8 * c);
      *out = pixel;
    }
  }
  return stamp;
}

void CopyFrame(const FrameBuffer& from, const FrameBuffer& to) {
  if (!from.data || !to.data || from.width != to.width || from.height != to.height) return;
  const std::size_t width = static_cast<std::size_t>(from.width);
  for (int y = 0; y < from.height; ++y) {
    const std::uint8_t* in = from.data + from.stride * y;
    std::uint8_t* out = to.data + to.stride * y;
    if (from.bytes_per_pixel == to.bytes_per_pixel) {
      std::memcpy(out, in, width * static_cast<std::size_t>(from.bytes_per_pixel));
      continue;
    }
    std::size_t x = 0;
    if (to.bytes_per_pixel == 4) {
      for (; x + 4 <= width; x += 4, in += 12, out += 16) {  // twelve bytes into four pixels
        std::uint64_t low;
        std::uint32_t high;
        std::memcpy(&low, in, 8), std::memcpy(&high, in + 8, 4);
        const std::uint64_t pixels[2] = {(low & 0xFFFFFF) | ((low >> 24) & 0xFFFFFF) << 32,
                                         (low >> 48) | std::uint64_t{high & 0xFF} << 16 | std::uint64_t{high >> 8} << 32};
        std::memcpy(out, pixels, 16);
      }
    }
    for (; x < width; ++x, in += from.bytes_per_pixel, out += to.bytes_per_pixel) {
      if (to.bytes_per_pixel == 4) {
        const std::uint32_t pixel = std::uint32_t{in[0]} | std::uint32_t{in[1]} << 8 | std::uint32_t{in[2]} << 16;
        std::memcpy(out, &pixel, 4);
      } else {
        out[0] = in[0], out[1] = in[1], out[2] = in[2];
      }
    }
  }
}

void DrawStamp(const TextStamp& stamp, const FrameBuffer& frame, const PixelRect& clip) {
  if (!frame.data || stamp.at.empty() || frame.bytes_per_pixel < 3) return;
  const int left = std::max({stamp.at.left, clip.left, 0}), right = std::min({stamp.at.right, clip.right, frame.width});
  const int top = std::max({stamp.at.top, clip.top, 0}), bottom = std::min({stamp.at.bottom, clip.bottom, frame.height});
  const int stamp_width = stamp.at.right - stamp.at.left;
  for (int y = top; y < bottom; ++y) {
    const std::uint32_t* in = stamp.pixels.data() + static_cast<std::size_t>(y - stamp.at.top) * stamp_width +
                              (left - stamp.at.left);
    std::uint8_t* out = frame.data + frame.stride * y + static_cast<std::ptrdiff_t>(left) * frame.bytes_per_pixel;
    for (int x = left; x < right; ++x, ++in, out += frame.bytes_per_pixel) {
      const std::uint32_t pixel = *in;
      const std::uint32_t alpha = pixel >> 24;
      if (alpha == 0) continue;
      const std::uint32_t keep = 255 - alpha;  // of what is under it, in 255ths
      for (int c = 0; c < 3; ++c) {
        const std::uint32_t under = out[c] * keep + 128;
        out[c] = static_cast<std::uint8_t>(((pixel >> (8 * c)) & 0xFF) + ((under + (under >> 8)) >> 8));
      }
    }
  }
}
