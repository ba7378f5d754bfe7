#pragma once
// Monitor-power tracking: the engine window's replacement window procedure,
// PowerWatchProc, keeps Sleeping up to date and passes every message on
// unchanged. The hook lives as long as the engine window: its load handler
// installs it and its unload handler removes it.
#include <cstdint>

struct ProgramState;
struct WindowMessage;
class EngineWindow;

inline constexpr std::uint32_t kWmSysCommand = 0x112;
inline constexpr std::uintptr_t kScMonitorPower = 0xF170;

// PreviousWindowProc := the window's procedure, replaced by PowerWatchProc;
// power changes that arrive other than by message (the power port's
// reports) go to PowerWatchProc too.
void HookWindow(ProgramState& state, EngineWindow& window);
// Puts PreviousWindowProc back and stops the power port's reports.
void UnhookWindow(ProgramState& state, EngineWindow& window);

// Monitor power off or low: Sleeping (not in preview mode); monitor power on,
// or any other system command: not Sleeping. Then the message goes on to
// PreviousWindowProc, whose result is returned.
std::intptr_t PowerWatchProc(ProgramState& state, EngineWindow& window, const WindowMessage& message);
