#include "startup/main.h"

#include "platform/system.h"
#include "sequence/prng_vex.h"
#include "settings/settings_io.h"
#include "startup/command_line.h"
#include "startup/identity.h"
#include "startup/modes.h"
#include "startup/program_state.h"

namespace {

// Reset the runtime generator to its fixed state, then reseed it from the
// time of day, so every run starts from a different seed.
void ReseedRuntimeRandom(ProgramState& state) {
  state.BuiltinRandom.Reset(-1.0f);
  state.BuiltinRandom.Randomize(state.ports.system->SecondsSinceMidnight());
}

}  // namespace

bool Main(ProgramState& state, const std::string& command_line) {
  RestoreIdentity(state);
  state.DefaultSettings = MakeDefaultSettings();
  state.CurrentSettings = state.DefaultSettings;
  LoadSettings(state);
  ReseedRuntimeRandom(state);
  state.SharedPrng = std::make_unique<PrngVex>(*state.ports.system, *state.ports.loop);
  ReseedRuntimeRandom(state);

  CommandLine command = ParseCommandLine(command_line);
  if (command.mode == "/S") {
    RunSaverMode(state);
  } else if (command.mode == "/P") {
    RunPreviewMode(state, command.handle);
  } else if (command.mode == "/C" || command.mode.empty()) {
    RunOptionsMode(state, command.handle);
  } else {
    state.ports.system->MsgBox(kRefusalMessage, state.ProgramTitle, kMbExclamation);
    return false;
  }
  return true;
}
