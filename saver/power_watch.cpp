#include "saver/power_watch.h"

#include "saver/power.h"
#include "startup/engine_window.h"
#include "startup/program_state.h"

void HookWindow(ProgramState& state, EngineWindow& window) {
  state.PreviousWindowProc =
      window.InstallWindowProc([&state, &window](const WindowMessage& m) { return PowerWatchProc(state, window, m); });
  if (!state.ports.power) return;
  state.ports.power->WatchMonitorPower([&state, &window](int level) {
    PowerWatchProc(state, window, WindowMessage{kWmSysCommand, kScMonitorPower, level});
  });
}

void UnhookWindow(ProgramState& state, EngineWindow& window) {
  if (state.ports.power) state.ports.power->WatchMonitorPower(nullptr);
  window.RestoreWindowProc(state.PreviousWindowProc);
}

std::intptr_t PowerWatchProc(ProgramState& state, EngineWindow& window, const WindowMessage& message) {
  if (message.message == kWmSysCommand) {
    // The command is compared whole: its low four bits are not masked off.
    if (message.wParam == kScMonitorPower) {
      // The level travels as a 32-bit value.
      auto level = static_cast<std::int32_t>(message.lParam);
      if (level == kMonitorPowerLow || level == kMonitorPowerOff) {
        if (state.PreviewHost == 0) state.Sleeping = true;
      } else {
        state.Sleeping = false;
      }
    } else {
      state.Sleeping = false;
    }
  }
  return window.PassToWindowProc(state.PreviousWindowProc, message);
}
