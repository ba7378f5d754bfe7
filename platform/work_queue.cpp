#include "platform/work_queue.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Shared by the queue and its threads, which may outlive the queue.
struct QueueState {
  std::mutex mutex;
  std::condition_variable wake;  // a job queued, a thread retired, or the queue gone
  std::deque<std::function<void()>> jobs;
  const std::chrono::milliseconds patience;
  const int max_threads;
  int threads = 0;
  int idle = 0;
  // The thread that runs the queue's current job, and since when; a thread
  // whose number is no longer `runner` finishes its job and leaves.
  unsigned runner = 0, next_number = 1;
  bool running = false;
  Clock::time_point started;
  bool closed = false;

  QueueState(std::chrono::milliseconds patience, int max_threads) : patience(patience), max_threads(max_threads) {}
};

void StartRunner(const std::shared_ptr<QueueState>& state);

void RunnerLoop(std::shared_ptr<QueueState> state, unsigned number) {
  std::unique_lock<std::mutex> lock(state->mutex);
  for (;;) {
    ++state->idle;
    state->wake.wait(lock, [&] { return state->closed || state->runner != number || !state->jobs.empty(); });
    --state->idle;
    if (state->closed || state->runner != number) break;
    std::function<void()> job = std::move(state->jobs.front());
    state->jobs.pop_front();
    state->running = true;
    state->started = Clock::now();
    lock.unlock();
    job();
    lock.lock();
    if (state->runner != number) break;  // retired while stuck: a fresh thread took over
    state->running = false;
  }
  --state->threads;
  state->wake.notify_all();
}

void StartRunner(const std::shared_ptr<QueueState>& state) {
  state->runner = state->next_number++;
  state->running = false;
  ++state->threads;
  std::thread(RunnerLoop, state, state->runner).detach();
}

// Watches the runner: when jobs wait behind one that has run past the
// patience, the runner is retired and a fresh one started.
void Supervise(std::shared_ptr<QueueState> state) {
  std::unique_lock<std::mutex> lock(state->mutex);
  while (!state->closed) {
    state->wake.wait_for(lock, state->patience);
    const bool stuck = state->running && Clock::now() - state->started >= state->patience;
    if (stuck && !state->jobs.empty() && state->threads < state->max_threads) {
      StartRunner(state);
      state->wake.notify_all();
    }
  }
}

class ThreadWorkQueue final : public WorkQueue {
 public:
  ThreadWorkQueue(std::chrono::milliseconds patience, int max_threads)
      : state_(std::make_shared<QueueState>(patience, max_threads)) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    StartRunner(state_);
    std::thread(Supervise, state_).detach();
  }
  ~ThreadWorkQueue() override {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->closed = true;
    state_->jobs.clear();
    state_->wake.notify_all();
  }

  void Submit(std::function<void()> job) override {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->jobs.push_back(std::move(job));
    state_->wake.notify_all();
  }

 private:
  std::shared_ptr<QueueState> state_;
};

}  // namespace

std::unique_ptr<WorkQueue> CreateThreadWorkQueue(std::chrono::milliseconds patience, int max_threads) {
  return std::make_unique<ThreadWorkQueue>(patience, max_threads);
}
