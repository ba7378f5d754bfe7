// Linux registry store: first cut, nothing is stored (every open fails), so
// the defaults stay in force.
#include "settings/registry.h"

namespace {

class FileRegistry final : public RegistryStore {
 public:
  long OpenKeyEx(RegKey, const std::string&, std::uint32_t, RegKey*) override { return kRegFileNotFound; }
  long QueryValueEx(RegKey, const std::string&, std::uint32_t*, std::uint8_t*, std::uint32_t*) override {
    return kRegFileNotFound;
  }
  long CreateKey(RegKey, const std::string&, RegKey*) override { return kRegAccessDenied; }
  long SetValueEx(RegKey, const std::string&, std::uint32_t, const std::uint8_t*, std::uint32_t) override {
    return kRegAccessDenied;
  }
  long CloseKey(RegKey) override { return kRegSuccess; }
};

}  // namespace

std::unique_ptr<RegistryStore> CreatePlatformRegistry() { return std::make_unique<FileRegistry>(); }
