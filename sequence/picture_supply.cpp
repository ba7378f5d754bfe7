#include "sequence/picture_supply.h"

#include <algorithm>

#include "platform/event_loop.h"
#include "platform/work_queue.h"
#include "render/graphics.h"

PictureSupply::PictureSupply(const Services& services, std::size_t budget_bytes)
    : services_(services), cache_(std::make_shared<PictureCache>(budget_bytes)) {}

void PictureSupply::Request(const PictureRequest& request) {
  auto same = [&request](const OnTheWay& way) { return way.request == request; };
  if (auto it = std::find_if(on_the_way_.begin(), on_the_way_.end(), same); it != on_the_way_.end()) {
    it->wanted->store(true);
    return;
  }
  if (cache_->Find(request)) return;
  auto wanted = std::make_shared<std::atomic<bool>>(true);
  on_the_way_.push_back(OnTheWay{request, wanted});
  // Decoders may need the graphics library; it starts on the UI thread.
  services_.graphics.Start();
  PicturePreparer* preparer = &services_.preparer;
  EventLoop* loop = &services_.loop;
  std::shared_ptr<PictureCache> cache = cache_;
  std::weak_ptr<PictureSupply*> self = self_;
  services_.queue.Submit([preparer, loop, cache, self, request, wanted] {
    if (!wanted->load()) {
      loop->Post([self, request] {
        if (auto supply = self.lock()) (*supply)->Skipped(request);
      });
      return;
    }
    std::shared_ptr<const PreparedPicture> picture = preparer->Prepare(request, *cache);
    cache->Put(request, picture);
    loop->Post([self, request, picture] {
      auto supply = self.lock();
      if (!supply) return;
      auto& way = (*supply)->on_the_way_;
      way.erase(std::remove_if(way.begin(), way.end(), [&](const OnTheWay& w) { return w.request == request; }),
                way.end());
      if ((*supply)->ready_) (*supply)->ready_(request, picture);
    });
  });
}

void PictureSupply::KeepOnly(const std::vector<PictureRequest>& wanted) {
  for (OnTheWay& way : on_the_way_)
    if (std::find(wanted.begin(), wanted.end(), way.request) == wanted.end()) way.wanted->store(false);
}

void PictureSupply::Skipped(const PictureRequest& request) {
  auto it = std::find_if(on_the_way_.begin(), on_the_way_.end(),
                         [&request](const OnTheWay& way) { return way.request == request; });
  if (it == on_the_way_.end()) return;
  const bool wanted_again = it->wanted->load();
  on_the_way_.erase(it);
  if (wanted_again) Request(request);
}
