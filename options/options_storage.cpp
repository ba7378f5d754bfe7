#include "options/options_storage.h"

#include "options/grace_period.h"
#include "settings/registry.h"
#include "settings/settings_io.h"
#include "startup/program_state.h"

namespace {

class RegistryOptionsStorage final : public OptionsStorage {
 public:
  explicit RegistryOptionsStorage(ProgramState& state) : state_(state) {}

  bool ReadGrace(std::string& text) override {
    text.clear();
    return state_.ports.registry &&
           GetRegistryValue(*state_.ports.registry, kHkeyLocalMachine, kGraceKeyPath, kGraceValueName, text);
  }
  bool WriteGrace(const std::string& text) override {
    return state_.ports.registry &&
           SetRegistryValue(*state_.ports.registry, kHkeyLocalMachine, kGraceKeyPath, kRegSz, kGraceValueName, text);
  }
  void SaveSettings() override { ::SaveSettings(state_); }

 private:
  ProgramState& state_;
};

}  // namespace

std::unique_ptr<OptionsStorage> CreateRegistryOptionsStorage(ProgramState& state) {
  return std::make_unique<RegistryOptionsStorage>(state);
}
