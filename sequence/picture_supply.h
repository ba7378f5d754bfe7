#pragma once
// Prepared pictures for the show: a picture asked for is prepared on the
// picture work queue (one at a time, so one decode's memory at most) and
// kept in the picture cache, whose budget also covers that decode; the show
// hears on the UI thread when it is ready. A picture the show no longer
// wants before its turn comes is skipped, so keys pressed faster than
// pictures are prepared do not queue up a decode per key in front of the
// picture now wanted.
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
  // Prepares the picture unless it is ready or on its way (wanted again, if
  // it was no longer).
  void Request(const PictureRequest& request);
  // Only these pictures are wanted now: the others on their way are skipped
  // unless their preparation has begun.
  void KeepOnly(const std::vector<PictureRequest>& wanted);
  // Runs on the UI thread each time a requested picture is ready.
  using Ready = std::function<void(const PictureRequest&, const std::shared_ptr<const PreparedPicture>&)>;
  void OnReady(Ready ready) { ready_ = std::move(ready); }

 private:
  struct OnTheWay {
    PictureRequest request;
    std::shared_ptr<std::atomic<bool>> wanted;  // read by its job when its turn comes
  };
  // The job went without preparing the picture: asks again if it was wanted meanwhile.
  void Skipped(const PictureRequest& request);

  Services services_;
  std::shared_ptr<PictureCache> cache_;  // shared with the jobs, which may outlive the supply
  std::vector<OnTheWay> on_the_way_;
  Ready ready_;
  std::shared_ptr<PictureSupply*> self_ = std::make_shared<PictureSupply*>(this);
};
