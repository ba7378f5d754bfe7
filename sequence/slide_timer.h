#pragma once
// The slide timer: each tick draws the next picture into every saver window,
// or into the options dialog's preview, or a message when there is nothing
// to show.
#include <string>

struct ProgramState;

// The tick. Also called directly: at start-up, by StartSlideTimer and by the
// forward keys.
void tmrImmagine_Timer(ProgramState& state);

// Starts the options dialog's preview show (only while its Info panel is
// visible): the dialog becomes the drawing target and a frame is drawn now.
void StartSlideTimer(ProgramState& state);

// "<ShortName>" CR-LF "by<CreditName>": shown instead of the caption in the
// system's small preview.
std::string PreviewCredit(const ProgramState& state);
