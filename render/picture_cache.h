#pragma once
// The memory budget for pictures: the prepared pictures kept for the show
// (the next ones, and the previous ones for the back keys) and the working
// memory of the decode in progress share it. A decode that needs room
// evicts the least recently used pictures first; what is on the screen
// lives in the screen's own buffer and needs none. Thread-safe: the picture
// worker fills it, the UI thread reads it.
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <mutex>

#include "render/prepared_picture.h"

class PictureCache final : public DecodeBudget {
 public:
  explicit PictureCache(std::size_t budget_bytes) : budget_(budget_bytes) {}

  // The picture prepared for the request, or null; a hit counts as a use.
  std::shared_ptr<const PreparedPicture> Find(const PictureRequest& request);
  // Keeps a prepared picture, evicting older ones beyond the budget.
  void Put(const PictureRequest& request, std::shared_ptr<const PreparedPicture> picture);

  void Reserve(std::size_t bytes) override {
    ReserveWhenRoom(bytes, [] { return false; });
  }
  void Release(std::size_t bytes) override;
  // Makes room for a decode's working memory. While another decode holds
  // memory this one does not fit beside, waits for it, asking give_up now
  // and then; false, with nothing reserved, once give_up says so. (A decode
  // whose thread the work queue leaves behind gives its memory back.)
  bool ReserveWhenRoom(std::size_t bytes, const std::function<bool()>& give_up);

  std::size_t UsedBytes() const;

 private:
  struct Entry {
    PictureRequest request;
    std::shared_ptr<const PreparedPicture> picture;
  };
  // Drops the least recently used pictures until `more` bytes fit (or none is left).
  void EvictFor(std::size_t more);

  const std::size_t budget_;
  mutable std::mutex mutex_;
  std::condition_variable released_;
  std::list<Entry> entries_;  // most recently used first
  std::size_t used_ = 0, reserved_ = 0;
};
