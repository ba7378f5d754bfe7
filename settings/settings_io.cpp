#include "settings/settings_io.h"

#include "startup/program_state.h"

// First cut: nothing stored yet, the defaults stay in force.
void LoadSettings(ProgramState&) {}
void SaveSettings(ProgramState&) {}
