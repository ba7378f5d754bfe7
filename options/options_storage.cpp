#include "options/options_storage.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "options/grace_period.h"
#include "settings/registry.h"
#include "settings/settings_io.h"
#include "startup/program_state.h"

namespace {

// PLACEHOLDER (merge): the registry access procedures GetRegistryValue and
// SetRegistryValue (settings/registry.cpp) were not on this branch yet. The
// two functions below do the same for the one REG_SZ value the dialog needs,
// over the same registry port; at merge, replace their bodies with
//   GetRegistryValue(*state.ports.registry, kHkeyLocalMachine, kGraceKeyPath, kGraceValueName, text)
//   SetRegistryValue(*state.ports.registry, kHkeyLocalMachine, kGraceKeyPath, kRegSz, kGraceValueName, text)
// and delete this note.
constexpr std::uint32_t kAccess = 0x2003F;  // opened for writing too, as the settings are
constexpr std::uint32_t kReadBuffer = 1024;

bool ReadRegistryText(RegistryStore& registry, std::string& text) {
  text.clear();
  RegKey key = 0;
  if (registry.OpenKeyEx(kHkeyLocalMachine, kGraceKeyPath, kAccess, &key) != kRegSuccess) return false;
  std::vector<std::uint8_t> data(kReadBuffer, 0);
  std::uint32_t type = 0, size = kReadBuffer;
  long result = registry.QueryValueEx(key, kGraceValueName, &type, data.data(), &size);
  registry.CloseKey(key);
  if (result != kRegSuccess) return false;
  if (size > kReadBuffer) size = kReadBuffer;
  if (size > 0 && data[size - 1] == 0) --size;
  if (type == kRegSz) {
    text.assign(reinterpret_cast<const char*>(data.data()), size);
  } else if (type == kRegDword && size >= 4) {
    std::int32_t value = 0;
    std::memcpy(&value, data.data(), 4);  // little-endian on every target
    text = std::to_string(value);
  }
  return true;
}

bool WriteRegistryText(RegistryStore& registry, const std::string& text) {
  RegKey key = 0;
  if (registry.OpenKeyEx(kHkeyLocalMachine, kGraceKeyPath, kAccess, &key) != kRegSuccess &&
      registry.CreateKey(kHkeyLocalMachine, kGraceKeyPath, &key) != kRegSuccess) {
    return false;
  }
  std::string data = text + '\0';
  long result = registry.SetValueEx(key, kGraceValueName, kRegSz, reinterpret_cast<const std::uint8_t*>(data.data()),
                                    static_cast<std::uint32_t>(text.size()));
  registry.CloseKey(key);
  return result == kRegSuccess;
}

class RegistryOptionsStorage final : public OptionsStorage {
 public:
  explicit RegistryOptionsStorage(ProgramState& state) : state_(state) {}

  bool ReadGrace(std::string& text) override {
    text.clear();
    return state_.ports.registry && ReadRegistryText(*state_.ports.registry, text);
  }
  bool WriteGrace(const std::string& text) override {
    return state_.ports.registry && WriteRegistryText(*state_.ports.registry, text);
  }
  void SaveSettings() override { ::SaveSettings(state_); }

 private:
  ProgramState& state_;
};

}  // namespace

std::unique_ptr<OptionsStorage> CreateRegistryOptionsStorage(ProgramState& state) {
  return std::make_unique<RegistryOptionsStorage>(state);
}
