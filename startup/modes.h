#pragma once
// The three run modes that Main sets up once the command line is read: the
// full-screen saver over every monitor, the preview inside a host window, and
// the options dialog. Each returns with the mode running in the event loop
// (or ends the process where the mode cannot run).
#include "platform/window_system.h"

struct ProgramState;
class OptionsWindow;

// "/S": one topmost saver window per monitor, cursor hidden, the system told
// that a screen saver runs, the scan and the show started.
void RunSaverMode(ProgramState& state);
// "/P <host>": one saver window embedded in the host; ends at once when the
// host has no parent.
void RunPreviewMode(ProgramState& state, WindowHandle host);
// "/C [<handle>]" or nothing: the options dialog, owned by the handle's parent
// when there is one.
void RunOptionsMode(ProgramState& state, WindowHandle handle);

// Places the options dialog for its owner state.OptionsOwner: 32 pixels right
// of and below the owner when the owner lies wholly on a monitor, else centred
// on monitor 1 (halves rounded to even); left alone without any monitor.
void PlaceOptionsDialog(ProgramState& state, OptionsWindow& window);
