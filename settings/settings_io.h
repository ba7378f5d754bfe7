#pragma once
// Moving the settings record to and from its registry key.
#include <string>

#include "settings/registry.h"
#include "settings/saver_settings.h"

// Overlays the stored values on `settings` and `switches`: a value that is
// missing or cannot be read leaves the field at the default given.
void LoadSettings(RegistryStore& registry, const std::string& key, const SaverSettings& defaults,
                  SaverSettings& settings, DiagnosticSwitches& switches);
// Writes every setting to the key (the diagnostic switches are never written).
void SaveSettings(RegistryStore& registry, const std::string& key, const SaverSettings& settings);
