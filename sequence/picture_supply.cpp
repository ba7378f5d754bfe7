#include "sequence/picture_supply.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>

#include "platform/event_loop.h"
#include "platform/work_queue.h"
#include "render/graphics.h"

// One picture on its way, and the cache's budget as its decode sees it:
// abandoned once the show drops it or the queue leaves its thread behind. A
// decode waiting for room gives up when it is abandoned: it then reads
// nothing and needs none.
class PictureSupply::Job final : public DecodeBudget {
 public:
  Job(std::shared_ptr<PictureCache> cache, const PictureRequest& request, bool waited)
      : request(request), waited(waited), awaited(waited), cache_(std::move(cache)) {}

  void Reserve(std::size_t bytes) override {
    if (!cache_->ReserveWhenRoom(bytes, [this] { return Abandoned(); })) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (left_behind_) return cache_->Release(bytes);  // left behind meanwhile: it holds nothing
    reserved_ += bytes;
  }
  void Release(std::size_t) override {
    std::lock_guard<std::mutex> lock(mutex_);
    cache_->Release(std::exchange(reserved_, 0));
  }
  bool Abandoned() const override { return dropped || left_behind_; }
  // Its thread is left behind, perhaps for ever: the memory it holds goes
  // back to the budget, and what it still decodes is thrown away.
  void LeaveBehind() {
    std::lock_guard<std::mutex> lock(mutex_);
    left_behind_ = true;
    cache_->Release(std::exchange(reserved_, 0));
  }

  const PictureRequest request;
  const bool waited;
  // A screen waits for it: asked for so, or prepared ahead and asked for by
  // a screen once under way.
  std::atomic<bool> awaited;
  std::atomic<bool> dropped{false}, started{false};

 private:
  const std::shared_ptr<PictureCache> cache_;
  std::mutex mutex_;
  std::size_t reserved_ = 0;
  std::atomic<bool> left_behind_{false};
};

PictureSupply::PictureSupply(const Services& services, std::size_t budget_bytes)
    : services_(services), cache_(std::make_shared<PictureCache>(budget_bytes)) {}

void PictureSupply::Request(const PictureRequest& request, bool waited) {
  const auto way = std::find_if(on_the_way_.begin(), on_the_way_.end(),
                                [&](const std::shared_ptr<Job>& job) { return job->request == request; });
  if (way != on_the_way_.end()) {
    if (!waited || (*way)->awaited) return;
    if ((*way)->started) {
      (*way)->awaited = true;
      return;
    }
    (*way)->dropped = true;  // prepared ahead and not begun: it moves up
    on_the_way_.erase(way);
  }
  // Decoders may need the graphics library; it starts on the UI thread.
  services_.graphics.Start();
  auto job = std::make_shared<Job>(cache_, request, waited);
  on_the_way_.push_back(job);
  WorkQueue::Job work;
  work.urgent = waited;
  work.left_behind = [job] { job->LeaveBehind(); };
  work.run = [preparer = &services_.preparer, loop = &services_.loop, cache = cache_, gate = services_.graphics.Gate(),
              self = std::weak_ptr<PictureSupply*>(self_), job] {
    job->started = true;
    if (job->dropped) return;
    // Stamped before the read: a file that changes during it is read again
    // at its next check.
    const FileStamp stamp = preparer->Stamp(job->request.path);
    std::shared_ptr<const PreparedPicture> picture = cache->Find(job->request);
    if (!picture || picture->stamp != stamp) {
      picture = nullptr;
      // Not while the graphics library is stopped (the process is ending).
      if (gate->Enter()) {
        std::unique_ptr<PreparedPicture> fresh = preparer->Prepare(job->request, *job);
        gate->Leave();
        if (fresh && !job->Abandoned()) {  // else perhaps cut short: not the picture
          fresh->stamp = stamp;
          picture = std::move(fresh);
          cache->Put(job->request, picture);
        }
      }
    }
    if (job->dropped) return;
    // A picture prepared ahead goes to the UI thread as a weak reference:
    // should the cache drop it before the message is read, the message must
    // not keep it alive beside the budget.
    const bool prepared = picture != nullptr;
    std::shared_ptr<const PreparedPicture> held = job->awaited ? picture : nullptr;
    std::weak_ptr<const PreparedPicture> ahead = picture;
    picture.reset();
    loop->Post([self, job, held, ahead, prepared] {
      if (auto supply = self.lock()) (*supply)->Finish(job, held ? held : ahead.lock(), prepared);
    });
  };
  services_.queue.Submit(std::move(work));
}

void PictureSupply::Finish(const std::shared_ptr<Job>& job, const std::shared_ptr<const PreparedPicture>& picture,
                           bool prepared) {
  on_the_way_.erase(std::remove(on_the_way_.begin(), on_the_way_.end(), job), on_the_way_.end());
  // Dropped by the cache on its way, and a screen has come to wait for it.
  if (!picture && prepared && job->awaited && !job->dropped) return Request(job->request, true);
  if (picture && ready_) ready_(job->request, picture);
}

void PictureSupply::KeepOnly(const std::vector<PictureRequest>& wanted) {
  auto unwanted = [&wanted](const std::shared_ptr<Job>& job) {
    if (std::find(wanted.begin(), wanted.end(), job->request) != wanted.end()) return false;
    job->dropped = true;
    return true;
  };
  on_the_way_.erase(std::remove_if(on_the_way_.begin(), on_the_way_.end(), unwanted), on_the_way_.end());
}
