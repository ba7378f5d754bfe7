#pragma once
// Shares that stopped answering. A read that stalls marks the share it was
// on (a mount on Linux, a server or drive on Windows) offline: its other
// files count as unreadable at once and its folders are skipped, so one dead
// share costs one reader's patience, not one per file. It is tried again
// after a back-off that doubles from 30 seconds to 5 minutes while it stays
// dead. Thread-safe: both queues' threads consult it.
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>

class ShareWatch {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  // share_of: the share a path lies on ("" when it cannot be told).
  ShareWatch(std::function<std::string(const std::string& path)> share_of,
             Clock clock = std::chrono::steady_clock::now);

  // False while the path's share is offline and its back-off runs.
  bool MayRead(const std::string& path);
  // A read of the path stalled: its share goes offline (for longer each time).
  void Stalled(const std::string& path);
  // A read of the path came back: its share answers again.
  void Answered(const std::string& path);

  static constexpr std::chrono::seconds kFirstBackOff{30}, kLongestBackOff{300};

 private:
  struct Offline {
    std::chrono::steady_clock::time_point retry_at;
    std::chrono::seconds back_off{0};
  };
  std::function<std::string(const std::string&)> share_of_;
  Clock clock_;
  std::mutex mutex_;
  std::map<std::string, Offline> offline_;
};

// The platform's shares: the mount point a path lies under (Linux, from the
// kernel's mount table, without touching the path), or its UNC server or
// drive (Windows).
std::string PlatformShareOf(const std::string& path);
