#pragma once
// Shrinks a picture that arrives a row at a time: each output pixel is the
// average of the source pixels that fall on it, so only one source row and
// one row of sums are held besides the output. Pixels are four bytes,
// averaged channel by channel (premultiplied colours average correctly).
#include <cstddef>
#include <cstdint>
#include <vector>

class RowReducer {
 public:
  // Output width and height are at most the source's. The output goes to
  // `out` (rows `out_stride` bytes apart) when given, else to pixels().
  RowReducer(int source_width, int source_height, int width, int height, std::uint8_t* out = nullptr,
             std::size_t out_stride = 0);

  // The memory its tables take besides the output, for the decode budget
  // (a source picture a million pixels wide has a column table of 4 MB).
  static std::size_t TableBytes(std::int64_t source_width, std::int64_t width);

  // The next source row, source_width pixels.
  void AddRow(const std::uint8_t* row);
  // The output, width * 4 bytes a row, once every source row is in (empty
  // when it went to `out`).
  std::vector<std::uint8_t>& pixels() { return pixels_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  void FlushRow();

  int source_width_, source_height_, width_, height_;
  int source_y_ = 0, out_y_ = 0;
  std::vector<std::uint64_t> sums_, counts_;  // 64 bits: a whole picture may fall on one pixel
  std::vector<std::int32_t> column_of_;       // output column of each source column
  std::vector<std::uint8_t> pixels_;
  std::uint8_t* out_;
  std::size_t out_stride_;
};
