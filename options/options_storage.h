#pragma once
// What the options dialog stores: the per-user settings and the machine-wide
// grace period. A small seam so the dialog's rules are tested without a
// registry.
#include <memory>
#include <string>

#include "settings/registry.h"
#include "settings/saver_settings.h"

class OptionsStorage {
 public:
  virtual ~OptionsStorage() = default;
  // The grace period as stored (HKEY_LOCAL_MACHINE, Winlogon,
  // "ScreenSaverGracePeriod"); false when the key or value cannot be read.
  virtual bool ReadGrace(std::string& text) = 0;
  // Writes it as REG_SZ; false when the store refuses.
  virtual bool WriteGrace(const std::string& text) = 0;
  // Writes the settings to the per-user settings key.
  virtual void SaveSettings(const SaverSettings& settings) = 0;
};

// The program's storage: the registry under the given per-user key.
std::unique_ptr<OptionsStorage> CreateRegistryOptionsStorage(RegistryStore& registry, const std::string& key);
