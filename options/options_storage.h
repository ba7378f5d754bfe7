#pragma once
// What the options dialog stores: the per-user settings (through the settings
// module) and the machine-wide grace period (through the registry access
// procedures). A small seam so the dialog's rules are tested without a
// registry.
#include <memory>
#include <string>

struct ProgramState;

class OptionsStorage {
 public:
  virtual ~OptionsStorage() = default;
  // GetRegistryValue(HKEY_LOCAL_MACHINE, Winlogon, "ScreenSaverGracePeriod"):
  // false when the key or value cannot be read; text as read otherwise.
  virtual bool ReadGrace(std::string& text) = 0;
  // SetRegistryValue(HKEY_LOCAL_MACHINE, Winlogon, REG_SZ, "ScreenSaverGracePeriod", text).
  virtual bool WriteGrace(const std::string& text) = 0;
  // SaveSettings: writes CurrentSettings to the per-user settings key.
  virtual void SaveSettings() = 0;
};

// The program's storage: the registry port of state.ports.
std::unique_ptr<OptionsStorage> CreateRegistryOptionsStorage(ProgramState& state);
