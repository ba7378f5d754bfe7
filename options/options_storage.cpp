#include "options/options_storage.h"

#include "options/grace_period.h"
#include "settings/settings_io.h"

namespace {

class RegistryOptionsStorage final : public OptionsStorage {
 public:
  RegistryOptionsStorage(RegistryStore& registry, std::string key) : registry_(registry), key_(std::move(key)) {}

  bool ReadGrace(std::string& text) override {
    text.clear();
    return GetRegistryValue(registry_, kHkeyLocalMachine, kGraceKeyPath, kGraceValueName, text);
  }
  bool WriteGrace(const std::string& text) override {
    return SetRegistryValue(registry_, kHkeyLocalMachine, kGraceKeyPath, kRegSz, kGraceValueName, text);
  }
  void SaveSettings(const SaverSettings& settings) override { ::SaveSettings(registry_, key_, settings); }

 private:
  RegistryStore& registry_;
  const std::string key_;
};

}  // namespace

std::unique_ptr<OptionsStorage> CreateRegistryOptionsStorage(RegistryStore& registry, const std::string& key) {
  return std::make_unique<RegistryOptionsStorage>(registry, key);
}
