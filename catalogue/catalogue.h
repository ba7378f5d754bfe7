#pragma once
// The picture catalogue: include folders become a folder queue that the scan
// timer walks breadth-first into PictureList while the show already runs.
#include <string>
#include <vector>

struct ProgramState;

// Seeds the lists from the folder settings (saver and preview start-up, and
// the preview's catalogue start): both lists empty with room for 101, the
// exclude list split and normalised, every include folder that is not
// excluded queued with a trailing separator. Starts a new walk run.
void SeedCatalogue(ProgramState& state);
// Rebuilds the catalogue for the options dialog's preview (only while its
// Info panel is visible).
void StartCatalogue(ProgramState& state);
// Stops a running preview scan (only while the Info panel is visible).
void StopCatalogue(ProgramState& state);
// The scan timer's event: runs the whole walk, yielding as it goes.
void tmrScansione_Timer(ProgramState& state);

// The two operations above without their Info-panel check (what they do once
// the panel is open); the dialog calls the guarded ones.
void RestartPreviewCatalogue(ProgramState& state);
void HaltPreviewCatalogue(ProgramState& state);

