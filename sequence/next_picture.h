#pragma once
// Choosing the next picture: sequential, or a random order that never
// repeats a picture within a pass.
#include <cstdint>
#include <string>

struct ProgramState;

// Advances CurrentIndex (wrapping) and returns the picture at that position;
// in random order first swaps a randomly chosen not-yet-shown entry into it.
// Returns "" for a position outside the list (after the back keys moved the
// index below -1) and for an empty list.
std::string NextPicture(ProgramState& state, bool random);

// A whole number in [low, high] from two PrngVex draws and two draws of the
// runtime generator; the two end values come up half as often as the others.
std::int32_t RandomRange(ProgramState& state, std::int32_t low, std::int32_t high);
