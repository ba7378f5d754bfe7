#include "decode/row_reducer.h"

#include <algorithm>

RowReducer::RowReducer(int source_width, int source_height, int width, int height, std::uint8_t* out,
                       std::size_t out_stride)
    : source_width_(std::max(source_width, 1)),
      source_height_(std::max(source_height, 1)),
      width_(std::clamp(width, 1, source_width_)),
      height_(std::clamp(height, 1, source_height_)),
      sums_(static_cast<std::size_t>(width_) * 4),
      counts_(static_cast<std::size_t>(width_)),
      column_of_(static_cast<std::size_t>(source_width_)),
      pixels_(out ? 0 : static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4),
      out_(out ? out : pixels_.data()),
      out_stride_(out ? out_stride : static_cast<std::size_t>(width_) * 4) {
  for (int x = 0; x < source_width_; ++x)
    column_of_[static_cast<std::size_t>(x)] =
        static_cast<std::int32_t>(static_cast<std::int64_t>(x) * width_ / source_width_);
}

std::size_t RowReducer::TableBytes(std::int64_t source_width, std::int64_t width) {
  return static_cast<std::size_t>(source_width) * sizeof(std::int32_t) +
         static_cast<std::size_t>(width) * 5 * sizeof(std::uint64_t);
}

void RowReducer::AddRow(const std::uint8_t* row) {
  if (source_y_ >= source_height_) return;
  const int target_y = static_cast<int>(static_cast<std::int64_t>(source_y_) * height_ / source_height_);
  if (target_y != out_y_) {
    FlushRow();
    out_y_ = target_y;
  }
  for (int x = 0; x < source_width_; ++x, row += 4) {
    const auto column = static_cast<std::size_t>(column_of_[static_cast<std::size_t>(x)]);
    std::uint64_t* sum = &sums_[column * 4];
    sum[0] += row[0];
    sum[1] += row[1];
    sum[2] += row[2];
    sum[3] += row[3];
    ++counts_[column];
  }
  if (++source_y_ == source_height_) FlushRow();
}

void RowReducer::FlushRow() {
  std::uint8_t* out = out_ + static_cast<std::size_t>(out_y_) * out_stride_;
  for (std::size_t x = 0; x < counts_.size(); ++x) {
    const std::uint64_t n = std::max<std::uint64_t>(counts_[x], 1);
    for (std::size_t c = 0; c < 4; ++c) out[x * 4 + c] = static_cast<std::uint8_t>((sums_[x * 4 + c] + n / 2) / n);
  }
  std::fill(sums_.begin(), sums_.end(), 0);
  std::fill(counts_.begin(), counts_.end(), 0);
}
