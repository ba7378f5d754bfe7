// The registry store contract against the real registry (Wine under test),
// each test in its own key under HKCU\Software\GlimmoraContract.
#include <windows.h>

#include <string>

#include "settings/registry_contract.h"

namespace {

constexpr char kContractRoot[] = "Software\\GlimmoraContract";

class WindowsEnv final : public RegistryTestEnv {
 public:
  WindowsEnv() : store_(CreatePlatformRegistry()) {
    static int counter = 0;
    scratch = std::string(kContractRoot) + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(++counter);
  }
  ~WindowsEnv() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, scratch.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, scratch.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, kContractRoot);  // only once no other run uses it
  }
  RegistryStore& Store() override { return *store_; }

 private:
  std::unique_ptr<RegistryStore> store_;
};

struct WindowsStoreFactory {
  static std::unique_ptr<RegistryTestEnv> Create() { return std::make_unique<WindowsEnv>(); }
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Windows, RegistryContract, WindowsStoreFactory);
