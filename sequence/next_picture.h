#pragma once
// Next-picture selection: advances CurrentIndex with wrap-around and returns
// the path there; in random order it first swaps a randomly chosen entry of
// the not-yet-shown rest of the list into place. An index still below 0, or
// an empty list, gives "" (an empty black frame).
#include <string>

struct ProgramState;

std::string NextPicture(ProgramState& state, bool random);
