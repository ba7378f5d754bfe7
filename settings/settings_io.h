#pragma once
// Moving the settings record between the registry and the program state.
struct ProgramState;

// Overlays the stored values on CurrentSettings, DebugMode and DebugSkipMonitor.
void LoadSettings(ProgramState& state);
// Writes CurrentSettings to the settings key.
void SaveSettings(ProgramState& state);
