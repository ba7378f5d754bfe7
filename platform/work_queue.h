#pragma once
// Work done off the UI thread: reading folders, probing headers, decoding
// pictures. Jobs own copies of their inputs and hand their results back with
// EventLoop::Post. A queue runs its jobs one at a time, in order, on a thread
// of its own; a job that takes longer than the queue's patience (a read
// stuck on a dead share, which cannot be cancelled) is left to its thread and
// the queue goes on with a fresh one, so a stuck job delays only itself.
// Threads are never joined: ending the program never waits for them.
#include <chrono>
#include <functional>
#include <memory>

class WorkQueue {
 public:
  virtual ~WorkQueue() = default;
  virtual void Submit(std::function<void()> job) = 0;
};

// A queue on threads of its own. At most `max_threads` threads at once (the
// stuck ones included): past that, jobs wait for a thread to come back.
std::unique_ptr<WorkQueue> CreateThreadWorkQueue(std::chrono::milliseconds patience, int max_threads = 8);
