#pragma once
// Prepared pictures for the show: a picture asked for is prepared on the
// picture work queue (one at a time, so one decode's memory at most) and
// kept in the picture cache, whose budget also covers that decode; the show
// hears on the UI thread when it is ready. A picture a screen waits for is
// prepared before those prepared ahead. A kept picture asked for again is
// checked against its file first (on the queue: the UI thread never waits on
// a file), and prepared afresh when the file changed. Pictures the show no
// longer wants are dropped: quick keys never leave a queue of decodes nobody
// waits for in front of the pictures they ask for.
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

  // The prepared picture kept for the request, if any (as its file was when
  // last checked).
  std::shared_ptr<const PreparedPicture> Find(const PictureRequest& request) { return cache_->Find(request); }
  // Prepares the picture, or checks the one kept, unless that is on its way
  // already. `waited`: a screen waits for it, so it goes ahead of the
  // pictures prepared ahead (one of those not started yet moves up).
  void Request(const PictureRequest& request, bool waited);
  // Drops the pictures on their way that are not among `wanted`: one not
  // started yet is skipped, a decode under way stops reading its file, and
  // neither is kept or reported.
  void KeepOnly(const std::vector<PictureRequest>& wanted);
  // Runs on the UI thread each time a requested picture is ready: prepared,
  // or kept and found still good.
  using Ready = std::function<void(const PictureRequest&, const std::shared_ptr<const PreparedPicture>&)>;
  void OnReady(Ready ready) { ready_ = std::move(ready); }

 private:
  class Job;  // shared with its work on the queue
  // `prepared`: the work had a picture, which `picture` is unless the cache
  // has dropped it since.
  void Finish(const std::shared_ptr<Job>& job, const std::shared_ptr<const PreparedPicture>& picture, bool prepared);

  Services services_;
  std::shared_ptr<PictureCache> cache_;  // shared with the jobs, which may outlive the supply
  std::vector<std::shared_ptr<Job>> on_the_way_;
  Ready ready_;
  std::shared_ptr<PictureSupply*> self_ = std::make_shared<PictureSupply*>(this);
};
