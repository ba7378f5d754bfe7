#pragma once
// Reading the command line the screen-saver host passes.
#include <string>

#include "platform/window_system.h"

struct CommandLine {
  std::string mode;           // first two characters of the trimmed, upper-cased text, trimmed again
  WindowHandle handle = 0;    // the number from the fourth character on; 0 when there is none
};

CommandLine ParseCommandLine(const std::string& raw);
