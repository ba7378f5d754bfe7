#pragma once
// Pictures prepared for drawing off the UI thread. The show asks for a
// picture laid out in a box; a preparer reads and decodes it on a worker
// thread, already reduced to the size it is drawn at, and the UI thread only
// draws the result (Canvas::DrawPrepared) under the caption. Prepared
// pictures and the decodes in progress share one memory budget (PictureCache).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "decode/picture_preparation.h"

// A picture ready to be drawn: its own size and where it goes, and the
// platform's pixels at that place (none when it cannot be decoded).
class PreparedPicture {
 public:
  virtual ~PreparedPicture() = default;
  float width = 0, height = 0;  // the picture's own size; 0 x 0 when it cannot be decoded
  PicturePlacement placement;   // relative to the box; draw = false: nothing to draw
  std::size_t bytes = 0;        // the memory its pixels take
  FileStamp stamp;              // the file's, taken before it was read
  CalendarDate taken;           // the day the photo was taken (EXIF); year 0 when unknown
  // The decoded pixels, over the whole placement, where the platform's
  // picture keeps them (a moving picture's always); empty otherwise.
  Pixels pixels;
};

// What a preparer asks of the memory budget around a decode, and whether
// the picture is still wanted.
class DecodeBudget {
 public:
  virtual ~DecodeBudget() = default;
  // Makes room for a decode's working memory, and gives it back after.
  virtual void Reserve(std::size_t bytes) = 0;
  virtual void Release(std::size_t bytes) = 0;
  // True once the show no longer waits for the picture (the keys have moved
  // past it): a decode may stop early, its result is thrown away.
  virtual bool Abandoned() const { return false; }
};

// Picture preparer port. Thread-safe; called on a worker thread. A file that
// is none of the program's formats, or does not fit the pixel budget, gives
// a picture with its header's size (0 x 0 when unknown) and nothing to draw.
// The program's preparer sends each picture to a reader process
// (reader/reader_preparer.h); CreatePicturePreparer decodes in this process
// (tests, benchmarks); tests also have a recording fake.
class PicturePreparer {
 public:
  virtual ~PicturePreparer() = default;
  virtual std::unique_ptr<PreparedPicture> Prepare(const PictureRequest& request, DecodeBudget& budget) = 0;
  // The stamp of the file a request names, as it is now.
  virtual FileStamp Stamp(const std::string& path) { return ReadFileStamp(path); }
};

// A preparer that decodes in this process, with the program's decoders.
std::unique_ptr<PicturePreparer> CreatePicturePreparer();

// The platform's picture over decoded pixels (Cairo: a surface over them;
// GDI+: an opaque bitmap of the box part they cover).
std::unique_ptr<PreparedPicture> WrapPixels(PreparedPixels prepared, const PictureRequest& request);
// The memory WrapPixels takes while it runs, the pixels it is handed
// included: reserved in the budget around it.
std::size_t WrappingBytes(const PreparedPixels& prepared, const PictureRequest& request);
// WrapPixels with room made for it first, so that the pictures kept and the
// wrapping stay within the budget; nothing to draw when the budget's owner
// no longer wants the picture.
std::unique_ptr<PreparedPicture> WrapWithinBudget(PreparedPixels prepared, const PictureRequest& request,
                                                  DecodeBudget& budget);
