#include "saver/power_watch.h"

#include "startup/program_state.h"

// The hook itself arrives with the monitor-power tracking.
void HookWindow(ProgramState&, EngineWindow&) {}
void UnhookWindow(ProgramState&, EngineWindow&) {}
