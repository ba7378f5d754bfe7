#include <pthread.h>
#include <time.h>

#include "platform/thread_time.h"

namespace {

class PosixThreadTime final : public ThreadTime {
 public:
  PosixThreadTime() : known_(pthread_getcpuclockid(pthread_self(), &clock_) == 0) {}
  std::chrono::microseconds Used() const override {
    timespec used{};
    if (!known_ || clock_gettime(clock_, &used) != 0) return {};
    return std::chrono::seconds(used.tv_sec) + std::chrono::microseconds(used.tv_nsec / 1000);
  }

 private:
  clockid_t clock_{};
  const bool known_;
};

}  // namespace

std::unique_ptr<ThreadTime> CurrentThreadTime() { return std::make_unique<PosixThreadTime>(); }
