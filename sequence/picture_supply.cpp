#include "sequence/picture_supply.h"

#include <algorithm>
#include <utility>

#include "platform/event_loop.h"
#include "platform/work_queue.h"
#include "render/graphics.h"

namespace {

// The cache's budget, as one job sees it: abandoned once the show drops it.
// A job waiting for room gives up when it is abandoned: its decode then
// reads nothing and needs none.
class JobBudget final : public DecodeBudget {
 public:
  JobBudget(PictureCache& cache, const std::atomic<bool>& dropped) : cache_(cache), dropped_(dropped) {}
  void Reserve(std::size_t bytes) override {
    reserved_ = cache_.ReserveWhenRoom(bytes, [this] { return Abandoned(); }) ? bytes : 0;
  }
  void Release(std::size_t) override { cache_.Release(std::exchange(reserved_, 0)); }
  bool Abandoned() const override { return dropped_; }

 private:
  PictureCache& cache_;
  const std::atomic<bool>& dropped_;
  std::size_t reserved_ = 0;
};

}  // namespace

PictureSupply::PictureSupply(const Services& services, std::size_t budget_bytes)
    : services_(services), cache_(std::make_shared<PictureCache>(budget_bytes)) {}

void PictureSupply::Request(const PictureRequest& request) {
  const bool on_the_way = std::any_of(on_the_way_.begin(), on_the_way_.end(),
                                      [&](const OnTheWay& way) { return way.request == request; });
  if (on_the_way || cache_->Find(request)) return;
  auto dropped = std::make_shared<std::atomic<bool>>(false);
  on_the_way_.push_back(OnTheWay{request, dropped});
  // Decoders may need the graphics library; it starts on the UI thread.
  services_.graphics.Start();
  PicturePreparer* preparer = &services_.preparer;
  EventLoop* loop = &services_.loop;
  std::shared_ptr<PictureCache> cache = cache_;
  std::weak_ptr<PictureSupply*> self = self_;
  services_.queue.Submit([preparer, loop, cache, self, request, dropped] {
    if (*dropped) return;
    JobBudget budget(*cache, *dropped);
    std::shared_ptr<const PreparedPicture> picture = preparer->Prepare(request, budget);
    if (*dropped) return;  // perhaps cut short: not the picture
    cache->Put(request, picture);
    loop->Post([self, request, picture, dropped] {
      auto supply = self.lock();
      if (!supply) return;
      auto& way = (*supply)->on_the_way_;
      way.erase(std::remove_if(way.begin(), way.end(), [&](const OnTheWay& w) { return w.dropped == dropped; }),
                way.end());
      if ((*supply)->ready_) (*supply)->ready_(request, picture);
    });
  });
}

void PictureSupply::KeepOnly(const std::vector<PictureRequest>& wanted) {
  auto unwanted = [&wanted](const OnTheWay& way) {
    if (std::find(wanted.begin(), wanted.end(), way.request) != wanted.end()) return false;
    *way.dropped = true;
    return true;
  };
  on_the_way_.erase(std::remove_if(on_the_way_.begin(), on_the_way_.end(), unwanted), on_the_way_.end());
}
