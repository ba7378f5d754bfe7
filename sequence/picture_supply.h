#pragma once
// Prepared pictures for the show: a picture asked for is prepared on the
// picture work queue (one at a time, so one decode's memory at most) and
// kept in the picture cache, whose budget also covers that decode; the show
// hears on the UI thread when it is ready. Pictures the show no longer
// wants are dropped: quick keys never leave a queue of decodes nobody waits
// for in front of the pictures they ask for.
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "render/picture_cache.h"
#include "render/prepared_picture.h"

class EventLoop;
class GraphicsSession;
class WorkQueue;

// Prepared pictures and the decode in progress share this much memory: a
// full decode of the largest picture the pixel budget allows.
inline constexpr std::size_t kPictureMemoryBudget = 200u << 20;

class PictureSupply {
 public:
  struct Services {
    PicturePreparer& preparer;
    WorkQueue& queue;
    EventLoop& loop;
    GraphicsSession& graphics;
  };

  PictureSupply(const Services& services, std::size_t budget_bytes = kPictureMemoryBudget);

  // The prepared picture, when it is ready.
  std::shared_ptr<const PreparedPicture> Find(const PictureRequest& request) { return cache_->Find(request); }
  // Prepares the picture unless it is ready or on its way.
  void Request(const PictureRequest& request);
  // Drops the pictures on their way that are not among `wanted`: one not
  // started yet is skipped, a decode under way stops reading its file, and
  // neither is kept or reported.
  void KeepOnly(const std::vector<PictureRequest>& wanted);
  // Runs on the UI thread each time a requested picture is ready.
  using Ready = std::function<void(const PictureRequest&, const std::shared_ptr<const PreparedPicture>&)>;
  void OnReady(Ready ready) { ready_ = std::move(ready); }

 private:
  Services services_;
  std::shared_ptr<PictureCache> cache_;  // shared with the jobs, which may outlive the supply
  struct OnTheWay {
    PictureRequest request;
    std::shared_ptr<std::atomic<bool>> dropped;  // shared with its job
  };
  std::vector<OnTheWay> on_the_way_;
  Ready ready_;
  std::shared_ptr<PictureSupply*> self_ = std::make_shared<PictureSupply*>(this);
};
