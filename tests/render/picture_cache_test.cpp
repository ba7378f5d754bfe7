#include "render/picture_cache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

struct Sized final : PreparedPicture {
  explicit Sized(std::size_t size) { bytes = size; }
};

PictureRequest Request(const char* path) { return PictureRequest{path, 100, 100, ScaleMode::Fit, false}; }

// A decode makes room by evicting the least recently used pictures; alone it
// may take more than the budget. A second decode (the work queue's fresh
// runner beside one left running past its patience) waits until it fits
// beside the first, or gives up when asked to.
TEST(PictureCacheTest, DecodesShareTheBudgetWithThePicturesKept) {
  PictureCache cache(100);
  cache.Put(Request("a"), std::make_shared<Sized>(40));
  cache.Put(Request("b"), std::make_shared<Sized>(40));
  ASSERT_TRUE(cache.Find(Request("a")));  // b is now the least recently used
  cache.Reserve(30);
  EXPECT_FALSE(cache.Find(Request("b")));
  EXPECT_TRUE(cache.Find(Request("a")));
  EXPECT_FALSE(cache.ReserveWhenRoom(80, [] { return true; })) << "does not fit beside the first decode";
  EXPECT_EQ(cache.UsedBytes(), 0u) << "the pictures made way for it all the same";

  std::atomic<bool> reserved{false};
  std::thread second([&] {
    cache.ReserveWhenRoom(80, [] { return false; });
    reserved = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(120));
  EXPECT_FALSE(reserved) << "went ahead beside the first decode";
  cache.Release(30);
  second.join();
  EXPECT_TRUE(reserved);
  cache.Release(80);
  EXPECT_TRUE(cache.ReserveWhenRoom(500, [] { return true; })) << "alone, a decode takes what it needs";
}

}  // namespace
