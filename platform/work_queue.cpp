#include "platform/work_queue.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/thread_time.h"

namespace {

using Clock = std::chrono::steady_clock;

// A thread counts as at work while it uses at least this share of a
// processor; one waiting on a read uses next to none.
constexpr int kWorkShare = 20;

// Shared by the queue and its threads, which may outlive the queue.
struct QueueState {
  std::mutex mutex;
  std::condition_variable wake;  // a job queued, a thread retired, or the queue gone
  std::deque<WorkQueue::Job> jobs;
  const std::chrono::milliseconds patience;
  const int max_threads;
  int threads = 0;
  // The thread that runs the queue's current job; a thread whose number is
  // no longer `runner` finishes its job and leaves.
  unsigned runner = 0, next_number = 1;
  // The current job: whether one runs, its thread's processor time, when it
  // was last seen at work (or began) and the time used by then, and what to
  // do if it is left behind.
  bool running = false;
  const ThreadTime* runner_time = nullptr;
  Clock::time_point active_at;
  std::chrono::microseconds used_at_active{};
  std::function<void()> left_behind;
  bool closed = false;

  QueueState(std::chrono::milliseconds patience, int max_threads) : patience(patience), max_threads(max_threads) {}
};

void RunnerLoop(std::shared_ptr<QueueState> state, unsigned number) {
  const std::unique_ptr<ThreadTime> time = CurrentThreadTime();
  std::unique_lock<std::mutex> lock(state->mutex);
  for (;;) {
    state->wake.wait(lock, [&] { return state->closed || state->runner != number || !state->jobs.empty(); });
    if (state->closed || state->runner != number) break;
    WorkQueue::Job job = std::move(state->jobs.front());
    state->jobs.pop_front();
    state->running = true;
    state->runner_time = time.get();
    state->active_at = Clock::now();
    state->used_at_active = time->Used();
    state->left_behind = std::move(job.left_behind);
    lock.unlock();
    job.run();
    job.run = nullptr;
    lock.lock();
    if (state->runner != number) break;  // left behind while stuck: a fresh thread took over
    state->running = false;
    state->left_behind = nullptr;
  }
  --state->threads;
  state->wake.notify_all();
}

// Retires the current runner (it leaves after its job) in favour of a new
// one, whose number is returned for its thread to start with.
unsigned NewRunner(QueueState& state) {
  state.runner = state.next_number++;
  state.running = false;
  ++state.threads;
  return state.runner;
}

// Watches the runner: when jobs wait behind one whose thread has done no
// work for the patience, that thread is left behind and a fresh one started.
void Supervise(std::shared_ptr<QueueState> state) {
  std::unique_lock<std::mutex> lock(state->mutex);
  while (!state->closed) {
    state->wake.wait_for(lock, state->patience);
    if (!state->running) continue;
    const Clock::time_point now = Clock::now();
    const std::chrono::microseconds used = state->runner_time->Used();
    if (used - state->used_at_active > (now - state->active_at) / kWorkShare) {
      state->active_at = now;
      state->used_at_active = used;
    }
    const bool stuck = now - state->active_at >= state->patience;
    if (stuck && !state->jobs.empty() && state->threads < state->max_threads) {
      // What the job gives back is back before the next job begins.
      std::function<void()> left_behind = std::exchange(state->left_behind, nullptr);
      const unsigned number = NewRunner(*state);
      lock.unlock();
      if (left_behind) left_behind();
      std::thread(RunnerLoop, state, number).detach();
      lock.lock();
    }
  }
}

class ThreadWorkQueue final : public WorkQueue {
 public:
  ThreadWorkQueue(std::chrono::milliseconds patience, int max_threads)
      : state_(std::make_shared<QueueState>(patience, max_threads)) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    std::thread(RunnerLoop, state_, NewRunner(*state_)).detach();
    std::thread(Supervise, state_).detach();
  }
  ~ThreadWorkQueue() override {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->closed = true;
    state_->jobs.clear();
    state_->wake.notify_all();
  }

  using WorkQueue::Submit;
  void Submit(Job job) override {
    std::lock_guard<std::mutex> lock(state_->mutex);
    auto& jobs = state_->jobs;
    const auto place = job.urgent
                           ? std::find_if(jobs.begin(), jobs.end(), [](const Job& queued) { return !queued.urgent; })
                           : jobs.end();
    jobs.insert(place, std::move(job));
    state_->wake.notify_all();
  }

 private:
  std::shared_ptr<QueueState> state_;
};

}  // namespace

std::unique_ptr<WorkQueue> CreateThreadWorkQueue(std::chrono::milliseconds patience, int max_threads) {
  return std::make_unique<ThreadWorkQueue>(patience, max_threads);
}
