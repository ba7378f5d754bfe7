#pragma once
// A decoded picture as both canvases draw it: four bytes a pixel, colours
// premultiplied by alpha, each pixel a native 32-bit word 0xAARRGGBB (Cairo's
// ARGB32, GDI+'s 32bppPARGB), rows `stride` bytes apart. The memory is the
// picture's own, or memory it was handed (a block another process filled),
// kept alive as long as the picture.
#include <cstddef>
#include <cstdint>
#include <memory>

// Where a thread's pictures get their memory: the heap, unless the thread
// says otherwise (a reader gives pictures memory it can hand to the saver).
class PixelMemory {
 public:
  virtual ~PixelMemory() = default;
  // Zeroed memory of that many bytes, freed with the last copy of the
  // pointer; null when there is none.
  virtual std::shared_ptr<std::uint8_t> Get(std::size_t bytes) = 0;
};
// The calling thread's pictures take their memory from `memory` (null: the heap).
void UsePixelMemory(PixelMemory* memory);

class Pixels {
 public:
  Pixels() = default;
  // width x height transparent pixels; empty when the memory cannot be had.
  static Pixels Allocate(int width, int height);
  // A picture over memory that `owner` keeps alive.
  static Pixels Over(std::shared_ptr<void> owner, std::uint8_t* data, int width, int height, std::size_t stride);

  bool empty() const { return !data_; }
  int width() const { return width_; }
  int height() const { return height_; }
  std::size_t stride() const { return stride_; }
  std::size_t bytes() const { return stride_ * static_cast<std::size_t>(height_); }
  std::uint8_t* data() const { return data_; }
  std::uint32_t* Row(int y) const {
    return reinterpret_cast<std::uint32_t*>(data_ + stride_ * static_cast<std::size_t>(y));
  }
  // Every pixel is opaque: a canvas may draw it without blending.
  bool opaque() const { return opaque_; }
  void set_opaque(bool opaque) { opaque_ = opaque; }

 private:
  std::shared_ptr<void> owner_;
  std::uint8_t* data_ = nullptr;
  int width_ = 0, height_ = 0;
  std::size_t stride_ = 0;
  bool opaque_ = false;
};

// The upright form of a picture stored in the given EXIF orientation (1 to
// 8): the same picture for 1, else a turned copy (empty when there is no room).
Pixels TurnUpright(Pixels stored, int orientation);

// The rectangle [x0, x1) x [y0, y1) of a picture, as a copy; the picture
// itself when the rectangle is all of it.
Pixels CutOut(Pixels picture, int x0, int y0, int x1, int y1);
