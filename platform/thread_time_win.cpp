#include <windows.h>

#include "platform/thread_time.h"

namespace {

class WinThreadTime final : public ThreadTime {
 public:
  WinThreadTime() {
    // GetCurrentThread() names whichever thread uses it: a real handle is
    // needed for another thread to ask.
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &thread_,
                         THREAD_QUERY_LIMITED_INFORMATION, FALSE, 0))
      thread_ = nullptr;
  }
  ~WinThreadTime() override {
    if (thread_) CloseHandle(thread_);
  }
  std::chrono::microseconds Used() const override {
    FILETIME created, ended, kernel, user;
    if (!thread_ || !GetThreadTimes(thread_, &created, &ended, &kernel, &user)) return {};
    auto ticks = [](const FILETIME& time) {  // 100 ns each
      return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return std::chrono::microseconds((ticks(kernel) + ticks(user)) / 10);
  }

 private:
  HANDLE thread_ = nullptr;
};

}  // namespace

std::unique_ptr<ThreadTime> CurrentThreadTime() { return std::make_unique<WinThreadTime>(); }
