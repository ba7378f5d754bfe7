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

#include "render/picture_layout.h"
#include "settings/saver_settings.h"

// One picture laid out for one box.
struct PictureRequest {
  std::string path;
  int area_width = 0, area_height = 0;  // the box's size in pixels
  ScaleMode mode = ScaleMode::Fit;
  bool preview_scale = false;

  bool operator==(const PictureRequest&) const = default;
};

// What tells one version of a file from the next: its modification time
// and size; both -1 when the file cannot be read.
struct FileStamp {
  std::int64_t modified = -1;  // in the platform's own units
  std::int64_t size = -1;

  bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at path as it is now. Reads the file system: never
// on the UI thread.
FileStamp ReadFileStamp(const std::string& path);

// A picture ready to be drawn: its own size and where it goes, and the
// platform's pixels at that place (none when it cannot be decoded).
class PreparedPicture {
 public:
  virtual ~PreparedPicture() = default;
  float width = 0, height = 0;  // the picture's own size; 0 x 0 when it cannot be decoded
  PicturePlacement placement;   // relative to the box; draw = false: nothing to draw
  std::size_t bytes = 0;        // the memory its pixels take
  FileStamp stamp;              // the file's, taken before it was read
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
// is none of the five formats, or does not fit the pixel budget, gives a
// picture with its header's size (0 x 0 when unknown) and nothing to draw.
// Cairo: prepared_picture_cairo.cpp; GDI+: prepared_picture_gdiplus.cpp;
// tests: a recording fake.
class PicturePreparer {
 public:
  virtual ~PicturePreparer() = default;
  virtual std::unique_ptr<PreparedPicture> Prepare(const PictureRequest& request, DecodeBudget& budget) = 0;
  // The stamp of the file a request names, as it is now.
  virtual FileStamp Stamp(const std::string& path) { return ReadFileStamp(path); }
};

std::unique_ptr<PicturePreparer> CreatePlatformPicturePreparer();
