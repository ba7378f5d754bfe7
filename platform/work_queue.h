#pragma once
// Work done off the UI thread: reading folders, probing headers, decoding
// pictures. Jobs own copies of their inputs and hand their results back with
// EventLoop::Post. A queue runs its jobs one at a time, in order, on a thread
// of its own. A job whose thread does no work for the queue's patience (it
// waits on a read stuck on a dead share, which cannot be cancelled) is left
// to its thread and the queue goes on with a fresh one, so a stuck job
// delays only itself; a job that keeps working (a slow decode) keeps the
// queue, so one at a time holds. Threads are never joined: ending the
// program never waits for them.
#include <chrono>
#include <functional>
#include <memory>

class WorkQueue {
 public:
  struct Job {
    std::function<void()> run;
    // Runs on another thread when the queue leaves the job to its thread,
    // whose run may then never return: what the job holds that others need
    // can go back.
    std::function<void()> left_behind;
    // Goes ahead of the jobs queued without it, behind those queued with it.
    bool urgent = false;
  };

  virtual ~WorkQueue() = default;
  // Any thread may submit.
  virtual void Submit(Job job) = 0;
  void Submit(std::function<void()> run) { Submit(Job{std::move(run), {}, false}); }
};

// A queue on threads of its own. At most `max_threads` threads at once (the
// stuck ones included): past that, jobs wait for a thread to come back.
std::unique_ptr<WorkQueue> CreateThreadWorkQueue(std::chrono::milliseconds patience, int max_threads = 8);
