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

void PictureCache::Reserve(std::size_t bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  EvictFor(bytes);
  reserved_ += bytes;
}

void PictureCache::Release(std::size_t bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  reserved_ -= std::min(bytes, reserved_);
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
