#include "decode/backdrop.h"

#include <algorithm>
#include <cstdint>
#include <span>

#include "decode/row_reducer.h"

namespace {
constexpr int kAcross = 32;
}  // namespace

Pixels MakeSoftBackdrop(const Pixels& picture, int box_width, int box_height) {
  if (picture.empty() || box_width <= 0 || box_height <= 0) return {};
  int cut_width = picture.width(), cut_height = picture.height();
  if (std::int64_t{cut_width} * box_height > std::int64_t{cut_height} * box_width)
    cut_width = static_cast<int>(std::max<std::int64_t>(1, std::int64_t{cut_height} * box_width / box_height));
  else
    cut_height = static_cast<int>(std::max<std::int64_t>(1, std::int64_t{cut_width} * box_height / box_width));
  const int left = (picture.width() - cut_width) / 2, top = (picture.height() - cut_height) / 2;
  const int across = std::min(kAcross, cut_width);
  const int down =
      std::clamp(static_cast<int>(static_cast<double>(across) * box_height / box_width + 0.5), 1, cut_height);
  Pixels backdrop = Pixels::Allocate(across, down);
  if (backdrop.empty()) return {};
  RowReducer reducer(cut_width, cut_height, across, down, backdrop.data(), backdrop.stride());
  for (int y = 0; y < cut_height; ++y)
    reducer.AddRow(reinterpret_cast<const std::uint8_t*>(picture.Row(top + y) + left));
  // Two fifths of its light, over black where it was clear.
  for (int y = 0; y < down; ++y)
    for (std::uint32_t& pixel : std::span(backdrop.Row(y), static_cast<std::size_t>(across))) {
      const auto dim = [&](int shift) { return ((pixel >> shift & 0xFF) * 2 / 5) << shift; };
      pixel = 0xFF000000u | dim(16) | dim(8) | dim(0);
    }
  backdrop.set_opaque(true);
  return backdrop;
}

bool LeavesBoxBare(const PicturePlacement& at, int box_width, int box_height) {
  return at.draw &&
         (at.x > 0.5f || at.y > 0.5f || at.x + at.width < box_width - 0.5f || at.y + at.height < box_height - 0.5f);
}
