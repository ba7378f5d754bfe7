#pragma once
// The program's identity texts (names, title, link, settings key).
#include <cstdint>
#include <string>

struct ProgramState;

// Adds the shift to every character code, wrapping below 0 and above 255.
std::string RestoreShiftedText(const std::string& stored, std::int16_t shift);

// Fills ShortName, CreditName, ProgramFullName, ProgramTitle, AboutLinkTarget
// and SettingsKeyPath.
void RestoreIdentity(ProgramState& state);
