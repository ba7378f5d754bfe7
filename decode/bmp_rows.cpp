#include "decode/bmp_rows.h"

#include <algorithm>
#include <bit>

#include "decode/picture_header.h"
#include "platform/byte_reader.h"

namespace {

// Fixed-size fields inside a buffer already read whole.
std::uint32_t Le16(const std::uint8_t* p) { return ByteReader(p, 2).U16(0); }
std::uint32_t Le32(const std::uint8_t* p) { return ByteReader(p, 4).U32(0); }

std::uint32_t Premultiplied(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  if (a == 255) return 0xFF000000u | r << 16 | g << 8 | b;
  return a << 24 | (r * a + 127) / 255 << 16 | (g * a + 127) / 255 << 8 | (b * a + 127) / 255;
}

}  // namespace

std::uint32_t BmpRowReader::Mask::Value(std::uint32_t pixel) const {
  if (!mask) return 255;
  return static_cast<std::uint32_t>((static_cast<std::uint64_t>((pixel & mask) >> shift) * 255 + max / 2) / max);
}

BmpRowReader::BmpRowReader(PictureFile& file) : file_(file) { ok_ = ReadHeaders(); }

bool BmpRowReader::ReadHeaders() {
  std::uint8_t b[14 + 124] = {};
  const std::size_t n = file_.ReadAt(0, b, sizeof b);
  if (n < 26 || b[0] != 'B' || b[1] != 'M') return false;
  data_offset_ = Le32(b + 10);
  const std::uint32_t info = Le32(b + 14);
  std::int64_t width = 0, height = 0;
  std::uint32_t colours_used = 0;
  if (info == 12) {  // the oldest header: 16-bit sizes, three-byte palette entries
    width = Le16(b + 18), height = Le16(b + 20), bits_ = static_cast<int>(Le16(b + 24));
  } else if (info >= 40 && n >= 14 + 40) {
    width = static_cast<std::int32_t>(Le32(b + 18));
    height = static_cast<std::int32_t>(Le32(b + 22));
    bits_ = static_cast<int>(Le16(b + 28));
    compression_ = static_cast<int>(Le32(b + 30));
    colours_used = Le32(b + 46);
  } else {
    return false;
  }
  if (height < 0) {
    if (compression_ == kRle8 || compression_ == kRle4) return false;  // run lengths go bottom-up only
    height = -height, bottom_up_ = false;
  }
  if (width <= 0 || height <= 0 || width * height > kPictureBudgetPixels) return false;
  width_ = static_cast<int>(width), height_ = static_cast<int>(height);
  const bool rle = (compression_ == kRle8 && bits_ == 8) || (compression_ == kRle4 && bits_ == 4);
  if (!rle && compression_ != 0 && !(compression_ == kBitFields && (bits_ == 16 || bits_ == 32))) return false;
  if (bits_ != 1 && bits_ != 4 && bits_ != 8 && bits_ != 16 && bits_ != 24 && bits_ != 32) return false;
  stride_ = (static_cast<std::uint64_t>(width_) * bits_ + 31) / 32 * 4;

  if (bits_ <= 8) {
    const std::uint32_t entries = colours_used && colours_used < (1u << bits_) ? colours_used : 1u << bits_;
    const std::size_t entry = info == 12 ? 3 : 4;
    std::vector<std::uint8_t> raw(entries * entry);
    const std::size_t got = file_.ReadAt(14 + info, raw.data(), raw.size());
    palette_.assign(1u << bits_, 0xFF000000u);  // indexes past a short palette are black
    for (std::size_t i = 0; i < got / entry; ++i)
      palette_[i] = 0xFF000000u | raw[i * entry + 2] << 16 | raw[i * entry + 1] << 8 | raw[i * entry];
  } else if (bits_ == 16 || bits_ == 32) {
    std::uint32_t r = 0x7C00, g = 0x03E0, bl = 0x001F, a = 0;  // 16-bit default: 5 bits each
    if (bits_ == 32) r = 0xFF0000, g = 0xFF00, bl = 0xFF;      // 32-bit default: the fourth byte unused
    if (compression_ == kBitFields) {
      std::uint8_t m[16] = {};
      // After a 40-byte header the masks follow it; larger headers hold them.
      if (file_.ReadAt(14 + 40, m, 12) != 12) return false;
      r = Le32(m), g = Le32(m + 4), bl = Le32(m + 8);
      if (info >= 56 && file_.ReadAt(14 + 52, m + 12, 4) == 4) a = Le32(m + 12);
    }
    auto mask = [](std::uint32_t bits) {
      Mask out;
      if (!bits) return out;
      out.mask = bits, out.shift = std::countr_zero(bits), out.max = bits >> out.shift;
      return out;
    };
    red_ = mask(r), green_ = mask(g), blue_ = mask(bl), alpha_ = mask(a);
    if (!red_.mask && !green_.mask && !blue_.mask) return false;
  }
  return true;
}

// Runs of one index, runs of literal indexes, ends of line and jumps, from
// the bottom row up; what no run reaches keeps index 0.
void BmpRowReader::UnpackRunLengths() {
  indexes_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
  std::vector<std::uint8_t> block(64 * 1024);
  std::uint64_t offset = data_offset_;
  std::size_t at = 0, filled = 0;
  auto next = [&](std::uint8_t& byte) {
    if (at == filled) {
      filled = file_.ReadAt(offset, block.data(), block.size());
      offset += filled, at = 0;
      if (filled == 0) return false;
    }
    byte = block[at++];
    return true;
  };
  const bool four = compression_ == kRle4;
  // x stops at the row's end, whatever the runs and jumps say; y, from the
  // bottom, ends the picture once it passes the top.
  int x = 0, y = 0;
  auto put = [&](std::uint8_t index) {
    if (x == width_) return;
    indexes_[static_cast<std::size_t>(height_ - 1 - y) * static_cast<std::size_t>(width_) + x] = index;
    ++x;
  };
  for (std::uint8_t count, value; y < height_ && next(count) && next(value);) {
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(four ? (i % 2 ? value & 0x0F : value >> 4) : value);
    } else if (value == 0) {
      x = 0, ++y;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      std::uint8_t dx, dy;
      if (!next(dx) || !next(dy)) break;
      x = std::min(x + dx, width_), y += dy;
    } else {
      const int bytes = four ? (value + 1) / 2 : value;
      std::uint8_t byte = 0;
      for (int i = 0; i < value; ++i) {
        if (!four || i % 2 == 0)
          if (!next(byte)) return;
        put(four ? (i % 2 ? byte & 0x0F : byte >> 4) : byte);
      }
      if (bytes % 2 && !next(byte)) break;  // literal runs end on a 16-bit boundary
    }
  }
  // A damaged run ends the picture: what came shows.
}

std::uint32_t BmpRowReader::FromMasks(std::uint32_t pixel) const {
  return Premultiplied(alpha_.Value(pixel), red_.Value(pixel), green_.Value(pixel), blue_.Value(pixel));
}

bool BmpRowReader::NextRow(std::uint32_t* out) {
  if (!ok_ || next_y_ >= height_) return false;
  if (next_y_ == 0) {  // the memory rows take, only once the caller has counted it
    if (run_length())
      UnpackRunLengths();
    else
      stored_row_.resize(stride_);
  }
  const int y = next_y_++;
  if (!indexes_.empty()) {
    const std::uint8_t* row = &indexes_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_)];
    for (int x = 0; x < width_; ++x) out[x] = palette_[row[x]];
    return true;
  }
  const std::uint64_t stored_y = bottom_up_ ? static_cast<std::uint64_t>(height_ - 1 - y) : y;
  if (file_.ReadAt(data_offset_ + stored_y * stride_, stored_row_.data(), stored_row_.size()) != stored_row_.size()) {
    std::fill(out, out + width_, 0u);
    return false;
  }
  const std::uint8_t* in = stored_row_.data();
  for (int x = 0; x < width_; ++x) {
    switch (bits_) {
      case 1: out[x] = palette_[in[x / 8] >> (7 - x % 8) & 1]; break;
      case 4: out[x] = palette_[x % 2 ? in[x / 2] & 0x0F : in[x / 2] >> 4]; break;
      case 8: out[x] = palette_[in[x]]; break;
      case 16: out[x] = FromMasks(Le16(in + x * 2)); break;
      case 24: out[x] = 0xFF000000u | in[x * 3 + 2] << 16 | in[x * 3 + 1] << 8 | in[x * 3]; break;
      default: out[x] = FromMasks(Le32(in + x * 4)); break;
    }
  }
  return true;
}
