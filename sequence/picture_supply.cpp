#include "sequence/picture_supply.h"

#include <algorithm>

#include "platform/event_loop.h"
#include "platform/work_queue.h"
#include "render/graphics.h"

PictureSupply::PictureSupply(const Services& services, std::size_t budget_bytes)
    : services_(services), cache_(std::make_shared<PictureCache>(budget_bytes)) {}

void PictureSupply::Request(const PictureRequest& request) {
  if (std::find(on_the_way_.begin(), on_the_way_.end(), request) != on_the_way_.end() || cache_->Find(request)) return;
  on_the_way_.push_back(request);
  // Decoders may need the graphics library; it starts on the UI thread.
  services_.graphics.Start();
  PicturePreparer* preparer = &services_.preparer;
  EventLoop* loop = &services_.loop;
  std::shared_ptr<PictureCache> cache = cache_;
  std::weak_ptr<PictureSupply*> self = self_;
  services_.queue.Submit([preparer, loop, cache, self, request] {
    std::shared_ptr<const PreparedPicture> picture = preparer->Prepare(request, *cache);
    cache->Put(request, picture);
    loop->Post([self, request, picture] {
      auto supply = self.lock();
      if (!supply) return;
      auto& way = (*supply)->on_the_way_;
      way.erase(std::remove(way.begin(), way.end(), request), way.end());
      if ((*supply)->ready_) (*supply)->ready_(request, picture);
    });
  });
}
