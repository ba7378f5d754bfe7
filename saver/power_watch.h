#pragma once
// Monitor-power tracking: the engine window's hook keeps Sleeping up to date.
struct ProgramState;
class EngineWindow;

void HookWindow(ProgramState& state, EngineWindow& window);
void UnhookWindow(ProgramState& state, EngineWindow& window);
