#pragma once
// The program's identity texts (names, title, link, settings key).
#include <cstdint>
#include <string>

struct ProgramIdentity {
  std::string short_name;    // "Glimmora"
  std::string credit_name;   // " Glimmora Labs" (its leading space is part of it)
  std::string full_name;     // shown on the options dialog's Info panel
  std::string title;         // the title of the program's windows and message boxes
  std::string about_link;    // the Info panel's web address
  std::string settings_key;  // the per-user settings key under HKEY_CURRENT_USER
};

// Adds the shift to every character code, wrapping below 0 and above 255.
std::string RestoreShiftedText(const std::string& stored, std::int16_t shift);

ProgramIdentity RestoreIdentity();
