#pragma once
// Scripted picture headers by path (Unknown, 0 x 0, for any other path), and
// a record of every file the admission check read.
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/work_queue.h"
#include "render/picture_probe.h"

class FakePictureProbe final : public PictureProbe {
 public:
  PictureHeader Read(const std::string& path) override {
    std::lock_guard<std::mutex> lock(mutex);
    opened.push_back(path);
    auto it = sizes.find(path);
    if (it == sizes.end()) return {};
    return PictureHeader{PictureKind::Raster, PictureFormat::Jpeg, it->second.first, it->second.second};
  }
  void Set(const std::string& path, std::int64_t width, std::int64_t height) { sizes[path] = {width, height}; }
  std::map<std::string, std::pair<std::int64_t, std::int64_t>> sizes;
  std::vector<std::string> opened;
  std::mutex mutex;
};

// Runs each job at once, on the caller's thread: what tests use for the work
// queues, so a walk or a picture comes back through the event loop's posted
// tasks and nothing runs on another thread. While `hold` is set, jobs wait
// for Release(), as behind a slow file.
class InlineWorkQueue final : public WorkQueue {
 public:
  void Submit(std::function<void()> job) override {
    if (hold) {
      held.push_back(std::move(job));
    } else {
      job();
    }
  }
  void Release() {
    hold = false;
    for (auto& job : std::exchange(held, {})) job();
  }
  bool hold = false;
  std::vector<std::function<void()>> held;
};
