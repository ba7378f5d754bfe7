#include "reader/share_watch.h"

#include <algorithm>

ShareWatch::ShareWatch(std::function<std::string(const std::string&)> share_of, Clock clock)
    : share_of_(std::move(share_of)), clock_(std::move(clock)) {}

bool ShareWatch::MayRead(const std::string& path) {
  const std::string share = share_of_(path);
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = offline_.find(share);
  return it == offline_.end() || clock_() >= it->second.retry_at;
}

void ShareWatch::Stalled(const std::string& path) {
  const std::string share = share_of_(path);
  std::lock_guard<std::mutex> lock(mutex_);
  Offline& offline = offline_[share];
  offline.back_off = std::clamp(offline.back_off * 2, kFirstBackOff, kLongestBackOff);
  offline.retry_at = clock_() + offline.back_off;
}

void ShareWatch::Answered(const std::string& path) {
  const std::string share = share_of_(path);
  std::lock_guard<std::mutex> lock(mutex_);
  offline_.erase(share);
}
