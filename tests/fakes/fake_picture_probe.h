#pragma once
// Scripted picture headers by path (Unknown, 0 x 0, for any other path), and
// a record of every file the admission check read.
#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/work_queue.h"
#include "decode/picture_probe.h"

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
// for Release(), as behind a slow file, urgent ones ahead of the others.
class InlineWorkQueue final : public WorkQueue {
 public:
  using WorkQueue::Submit;
  void Submit(Job job) override {
    if (!hold) return job.run();
    auto place = job.urgent ? std::find_if(held.begin(), held.end(), [](const Job& queued) { return !queued.urgent; })
                            : held.end();
    held.insert(place, std::move(job));
  }
  void Release() {
    hold = false;
    for (auto& job : std::exchange(held, {})) job.run();
  }
  bool hold = false;
  std::vector<Job> held;
};
