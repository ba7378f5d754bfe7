#include "render/picture_cache.h"

std::shared_ptr<const PreparedPicture> PictureCache::Find(const PictureRequest& request) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (!(it->request == request)) continue;
    entries_.splice(entries_.begin(), entries_, it);
    return entries_.front().picture;
  }
  return nullptr;
}

void PictureCache::Put(const PictureRequest& request, std::shared_ptr<const PreparedPicture> picture) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (!(it->request == request)) continue;
    used_ -= it->picture->bytes;
    entries_.erase(it);
    break;
  }
  EvictFor(picture->bytes);
  used_ += picture->bytes;
  entries_.push_front(Entry{request, std::move(picture)});
}

bool PictureCache::ReserveWhenRoom(std::size_t bytes, const std::function<bool()>& give_up) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    EvictFor(bytes);
    // Alone, a decode may take more than the budget: the header allowed it.
    if (reserved_ == 0 || used_ + reserved_ + bytes <= budget_) break;
    if (give_up()) return false;
    released_.wait_for(lock, std::chrono::milliseconds(50));
  }
  reserved_ += bytes;
  return true;
}

void PictureCache::Release(std::size_t bytes) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    reserved_ -= std::min(bytes, reserved_);
  }
  released_.notify_all();
}

std::size_t PictureCache::UsedBytes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return used_;
}

void PictureCache::EvictFor(std::size_t more) {
  while (!entries_.empty() && used_ + reserved_ + more > budget_) {
    used_ -= entries_.back().picture->bytes;
    entries_.pop_back();
  }
}
