#include "catalogue/catalogue.h"

#include "startup/program_state.h"

// First cut: an empty catalogue whose scan is done at once.
void SeedCatalogue(ProgramState& state) {
  state.PictureList.assign(101, "");
  state.FolderQueue.assign(101, "");
  state.PictureCount = 0;
  state.FolderCount = 0;
}

void StartCatalogue(ProgramState&) {}
void StopCatalogue(ProgramState&) {}

void tmrScansione_Timer(ProgramState& state) { state.ScanDone = true; }
