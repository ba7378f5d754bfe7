#include "saver/power_watch.h"

#include "saver/power.h"
#include "sequence/slide_show.h"

void PowerWatch::Hook(HiddenWindow& window) {
  previous_proc_ = window.InstallWindowProc([this, &window](const WindowMessage& m) { return OnMessage(window, m); });
  power_.WatchMonitorPower([this, &window](int level) {
    OnMessage(window, WindowMessage{kWmSysCommand, kScMonitorPower, level});
  });
}

void PowerWatch::Unhook(HiddenWindow& window) {
  power_.WatchMonitorPower(nullptr);
  window.RestoreWindowProc(previous_proc_);
}

std::intptr_t PowerWatch::OnMessage(HiddenWindow& window, const WindowMessage& message) {
  if (message.message == kWmSysCommand) {
    bool& asleep = show_.Flags().asleep;
    // The command is compared whole: its low four bits are not masked off.
    if (message.w_param == kScMonitorPower) {
      // The level travels as a 32-bit value.
      const auto level = static_cast<std::int32_t>(message.l_param);
      if (level == kMonitorPowerLow || level == kMonitorPowerOff) {
        if (!show_.InSystemPreview()) asleep = true;
      } else {
        asleep = false;
      }
    } else {
      asleep = false;
    }
  }
  return window.PassToWindowProc(previous_proc_, message);
}
