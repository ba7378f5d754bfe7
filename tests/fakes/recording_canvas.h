#pragma once
// A picture box whose canvases record the texts and pictures they draw as
// lines of text; and a picture preparer
// whose pictures have scripted sizes and file stamps by path (0 x 0 and {} for
// any other path).
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "render/canvas.h"
#include "render/prepared_picture.h"

struct RecordedPicture { float width = 0, height = 0; };

class RecordingPictureBox final : public PictureBox {
 public:
  std::unique_ptr<Canvas> CreateCanvas() override;  // null when !valid
  void AreaSize(int& width, int& height) override;
  void Refresh() override { ++refreshes; }
  void Clear() override {}

  RectF bounds{0, 0, 1920, 1080};
  bool valid = true, font_installed = true;
  std::vector<std::string> log;
  int refreshes = 0;
};

class RecordedPreparedPicture final : public PreparedPicture {
 public:
  std::string path;
};

// Lays pictures out as the real preparers do; draws as "DrawPicture(path,x,y,w,h)".
class RecordingPreparer final : public PicturePreparer {
 public:
  std::unique_ptr<PreparedPicture> Prepare(const PictureRequest& request, DecodeBudget& budget) override;
  FileStamp Stamp(const std::string& path) override {
    std::lock_guard<std::mutex> lock(mutex);
    return stamps.count(path) ? stamps[path] : FileStamp{};
  }

  std::map<std::string, RecordedPicture> pictures;
  std::map<std::string, FileStamp> stamps;  // {} for any other path
  std::map<std::string, CalendarDate> taken;
  std::vector<std::string> prepared;        // the paths asked for, in order
  std::mutex mutex;
  // Runs in the middle of each decode; then whether the decode was abandoned is noted.
  std::function<void()> while_decoding;
  std::vector<bool> abandoned;
};
