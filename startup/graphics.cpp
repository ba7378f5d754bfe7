#include "startup/graphics.h"

#include "platform/system.h"
#include "startup/program_state.h"

void StartGdiplus(ProgramState& state) {
  if (state.GdiplusToken != 0) return;
  if (state.ports.graphics->Startup(&state.GdiplusToken) != 0) {
    // Default title: the graphics library failed, so nothing else is trusted.
    state.ports.system->MsgBox("Error loading GDI+!", "", kMbCritical);
    state.ports.system->EndProcess(1);
  }
}

void StopGdiplus(ProgramState& state) {
  if (state.GdiplusToken == 0) return;
  state.ports.graphics->Shutdown(state.GdiplusToken);
  state.GdiplusToken = 0;
}
