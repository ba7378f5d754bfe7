#pragma once
// Program entry: prepares the state, reads the command line and sets up the
// chosen mode. Returns; the process then lives in the event loop.
#include <string>

struct ProgramState;

// The message shown for any switch the program does not know.
inline constexpr const char* kRefusalMessage =
    "This is a screen saver! Please run it with appropriate parameter: /C or /S";

// command_line: the arguments only (no program name). Returns true when a
// mode was set up and the event loop must run; false after the refusal.
bool Main(ProgramState& state, const std::string& command_line);
