#pragma once
// The slide timer: each tick draws the next picture into every saver window,
// or into the options dialog's preview.
struct ProgramState;

void tmrImmagine_Timer(ProgramState& state);
void StartSlideTimer(ProgramState& state);
