#pragma once
// Reading the command line the screen-saver host passes.
#include <string>
#include <vector>

#include "platform/window_system.h"

struct CommandLine {
  std::string mode;           // first two characters of the trimmed, upper-cased text, trimmed again
  WindowHandle handle = 0;    // the number from the fourth character on; 0 when there is none
};

CommandLine ParseCommandLine(const std::string& raw);

// The arguments XScreenSaver starts a hack with (Linux): "--root" draws into
// the window $XSCREENSAVER_WINDOW names, or the root window when it is unset;
// "--window-id ID" draws into window ID (the settings' preview) and wins over
// both. Each flag may have one dash or two. Flags a daemon or a user adds for
// every hack (--fps, --install, -visual ID, -geometry WxH+X+Y, --delay N) mean
// nothing here and are passed over.
struct HackCommand {
  bool is_hack = false;     // the arguments name --root or --window-id
  WindowHandle window = 0;  // the window to draw into; 0: the root window
  std::string error;        // why the arguments cannot be run; empty when they can
};

// saver_window: the value of $XSCREENSAVER_WINDOW, or null when it is unset.
HackCommand ParseHackCommand(const std::vector<std::string>& args, const char* saver_window);

// An X window id as XScreenSaver writes them, decimal or hexadecimal after
// "0x"; 0 for anything else, and for 0 itself, which names no window.
WindowHandle ParseWindowId(const std::string& text);
