#pragma once
// A BMP read a row at a time, top to bottom, so a large one can be reduced
// on the way instead of decoded whole: uncompressed rows are read where they
// lie in the file; run-length encoded pictures (stored bottom-up, in runs
// that may skip about) are first unpacked into their colour indexes, a byte
// a pixel. Palette, 16-, 24- and 32-bit pictures, bit-field masks included.
#include <cstdint>
#include <vector>

#include "decode/picture_file.h"

class BmpRowReader {
 public:
  // Reads the headers and the palette; ok() says whether rows can follow.
  // The memory rows take (a stored row; a run-length picture's indexes, a
  // byte a pixel) is allocated by the first NextRow.
  explicit BmpRowReader(PictureFile& file);

  bool ok() const { return ok_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // Run lengths: the first row unpacks the picture's indexes, a byte a pixel.
  bool run_length() const { return compression_ == kRle8 || compression_ == kRle4; }
  // The next row from the top: width() pixels, each a native 32-bit word
  // 0xAARRGGBB with premultiplied colours. False when the file does not
  // hold the row (it is then transparent).
  bool NextRow(std::uint32_t* out);

 private:
  static constexpr int kRle8 = 1, kRle4 = 2, kBitFields = 3;  // compressions
  struct Mask {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;
    std::uint32_t Value(std::uint32_t pixel) const;  // 0 to 255
  };
  bool ReadHeaders();
  void UnpackRunLengths();
  std::uint32_t FromMasks(std::uint32_t pixel) const;

  PictureFile& file_;
  bool ok_ = false;
  int width_ = 0, height_ = 0, bits_ = 0, compression_ = 0, next_y_ = 0;
  bool bottom_up_ = true;
  std::uint64_t data_offset_ = 0, stride_ = 0;
  Mask red_, green_, blue_, alpha_;
  std::vector<std::uint32_t> palette_;  // 0xFFRRGGBB
  std::vector<std::uint8_t> stored_row_;
  std::vector<std::uint8_t> indexes_;  // run-length pictures, top row first
};
