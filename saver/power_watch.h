#pragma once
// Monitor-power tracking: while the show's timers run its window procedure is
// replaced by the watch, which keeps the show's "asleep" flag up to date and
// passes every message on unchanged. The power port's reports (Linux, where
// no message arrives) go through the same procedure.
#include <cstdint>

#include "platform/hidden_window.h"

class PowerPort;
class SlideShow;

inline constexpr std::uint32_t kWmSysCommand = 0x112;
inline constexpr std::uintptr_t kScMonitorPower = 0xF170;

class PowerWatch {
 public:
  PowerWatch(PowerPort& power, SlideShow& show) : power_(power), show_(show) {}

  // Replaces the window's procedure and starts the power port's reports.
  void Hook(HiddenWindow& window);
  // Puts the previous procedure back and stops the reports.
  void Unhook(HiddenWindow& window);

  // Monitor power off or low: asleep (not in the system preview); monitor
  // power on, or any other system command: awake. Then the message goes on
  // to the previous procedure, whose result is returned.
  std::intptr_t OnMessage(HiddenWindow& window, const WindowMessage& message);

 private:
  PowerPort& power_;
  SlideShow& show_;
  std::uintptr_t previous_proc_ = 0;
};
