#pragma once
// The picture catalogue: include folders become a folder queue that the scan
// timer walks breadth-first into PictureList while the show already runs.
struct ProgramState;

// Seeds the lists from the folder settings (saver and preview start-up).
void SeedCatalogue(ProgramState& state);
// Rebuilds the catalogue for the options dialog's preview (only while its
// Info panel is visible).
void StartCatalogue(ProgramState& state);
// Stops a running preview scan (only while the Info panel is visible).
void StopCatalogue(ProgramState& state);
// The scan timer's event: runs the whole walk, yielding as it goes.
void tmrScansione_Timer(ProgramState& state);
