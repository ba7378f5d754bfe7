// The registry store contract against the real registry (Wine under test),
// each test in its own key under HKCU\Software\GlimmoraContract.
#include <windows.h>

#include <string>

#include "settings/registry_contract.h"

namespace {

struct WindowsEnv final : RegistryTestEnv {
  WindowsEnv() {
    static int counter = 0;
    scratch = "Software\\GlimmoraContract\\" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
  }
  ~WindowsEnv() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, scratch.c_str());  // the key with everything under it
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\GlimmoraContract");  // only once no other run uses it
  }
  RegistryStore& Store() override { return *store; }
  std::unique_ptr<RegistryStore> store = CreatePlatformRegistry();
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Windows, RegistryContract, WindowsEnv);
