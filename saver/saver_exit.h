#pragma once
// The orderly end of the saver (saver, system preview and hack mode).
#include <string>

#include "platform/window_system.h"

class ShowTimers;
class GraphicsSession;
class PowerPort;
class SystemPort;

// What the saver's end puts back in order.
struct SaverEndServices {
  ShowTimers& timers;
  SystemPort& system;
  PowerPort& power;
  GraphicsSession& graphics;
};

// Stops the show's timers, tells the system no screen saver runs, shows the
// cursor, restores the power settings, stops the graphics library and ends
// the process. Does not return.
[[noreturn]] void EndSaver(const SaverEndServices& services, int exit_code = 0);

// The end of a screen-saver daemon's hack whose window cannot be used:
// "glimmora: window 0x<id> <problem>" on stderr, which the daemon logs, then
// EndSaver with exit code 1.
[[noreturn]] void EndHackForWindow(WindowHandle window, const std::string& problem, const SaverEndServices& services);
