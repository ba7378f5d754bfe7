// The thread work queue: jobs in order off the calling thread, and a stuck
// job that delays only itself.
#include "platform/work_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

struct Log {
  void Add(int value) {
    std::lock_guard<std::mutex> lock(mutex);
    values.push_back(value);
    changed.notify_all();
  }
  // Waits (at most 10 s) until `count` values are in.
  std::vector<int> WaitFor(std::size_t count) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait_for(lock, 10s, [&] { return values.size() >= count; });
    return values;
  }
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<int> values;
};

// A job that never returns by itself (a read on a dead share) is left to its
// thread, and told so; the jobs behind it run once the patience is over, in
// order.
TEST(WorkQueue, AStuckJobDelaysOnlyItself) {
  auto queue = CreateThreadWorkQueue(50ms, 2);
  Log log;
  std::mutex gate;
  std::unique_lock<std::mutex> closed(gate);
  std::atomic<int> left_behind{0};
  queue->Submit({[&] {
                   gate.lock();  // stuck until the test opens the gate
                   gate.unlock();
                   log.Add(0);
                 },
                 [&] { ++left_behind; }});
  for (int i = 1; i <= 3; ++i) queue->Submit([&, i] { log.Add(i); });
  EXPECT_EQ(log.WaitFor(3), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(left_behind, 1);
  // Two threads at most: with one stuck and a second one stuck too, the rest wait.
  queue->Submit([&] {
    gate.lock();
    gate.unlock();
    log.Add(4);
  });
  queue->Submit([&] { log.Add(5); });
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(log.WaitFor(3).size(), 3u);
  closed.unlock();
  EXPECT_EQ(log.WaitFor(6).size(), 6u);
}

// A job that works past the patience (a slow decode, not a stuck read)
// keeps the queue: no job runs beside it. Urgent jobs go ahead of the others.
TEST(WorkQueue, ABusyJobKeepsTheQueueAndUrgentJobsGoFirst) {
  auto queue = CreateThreadWorkQueue(50ms, 2);
  Log log;
  std::atomic<bool> begun{false};
  queue->Submit([&] {
    begun = true;
    for (const auto end = std::chrono::steady_clock::now() + 400ms; std::chrono::steady_clock::now() < end;) {
    }
    log.Add(0);
  });
  while (!begun) std::this_thread::yield();
  queue->Submit([&] { log.Add(1); });
  queue->Submit({[&] { log.Add(2); }, {}, true});
  EXPECT_EQ(log.WaitFor(3), (std::vector<int>{0, 2, 1}));
}

}  // namespace
