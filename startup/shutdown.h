#pragma once
// The orderly end of the saver (saver and preview mode).
struct ProgramState;

// Unloads T, tells the system no screen saver runs, shows the cursor, stops
// the graphics library and ends the process. Does not return.
[[noreturn]] void EndSaver(ProgramState& state);
