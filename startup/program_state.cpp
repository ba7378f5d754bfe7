#include "startup/program_state.h"

#include "options/options_dialog.h"
#include "saver/saver_form.h"
#include "sequence/prng_vex.h"
#include "startup/engine_form.h"

ProgramState::ProgramState() = default;
ProgramState::~ProgramState() = default;
