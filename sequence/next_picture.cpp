#include "sequence/next_picture.h"

#include "startup/program_state.h"

// First cut: scan order only, until the random order arrives.
std::string NextPicture(ProgramState& state, bool) {
  if (state.PictureCount < 1) return "";
  ++state.CurrentIndex;
  if (state.CurrentIndex >= state.PictureCount) state.CurrentIndex = 0;
  if (state.CurrentIndex < 0 || state.CurrentIndex >= static_cast<int>(state.PictureList.size())) return "";
  return state.PictureList[state.CurrentIndex];
}
