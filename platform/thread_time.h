#pragma once
// The processor time a thread has used, read by another thread: what tells
// a thread at work (a slow decode) from one waiting on the system (a read
// stuck on a dead share uses none). thread_time_posix.cpp, thread_time_win.cpp.
#include <chrono>
#include <memory>

class ThreadTime {
 public:
  virtual ~ThreadTime() = default;
  // The processor time used so far; zero when the system cannot tell.
  // Any thread may ask while the measured thread lives.
  virtual std::chrono::microseconds Used() const = 0;
};

// The calling thread's.
std::unique_ptr<ThreadTime> CurrentThreadTime();
