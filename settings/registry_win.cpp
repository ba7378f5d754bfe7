// Windows registry store: the five advapi32 calls, ANSI forms.
#include <windows.h>

#include "settings/registry.h"

namespace {

// The root numbers are the 32-bit values of the predefined keys; on 64-bit
// Windows the handles themselves are those values sign-extended.
HKEY K(RegKey key) {
  if (key == kHkeyCurrentUser) return HKEY_CURRENT_USER;
  if (key == kHkeyLocalMachine) return HKEY_LOCAL_MACHINE;
  return reinterpret_cast<HKEY>(key);
}

RegKey FromHkey(HKEY key) {
  if (key == HKEY_CURRENT_USER) return kHkeyCurrentUser;
  if (key == HKEY_LOCAL_MACHINE) return kHkeyLocalMachine;
  return reinterpret_cast<RegKey>(key);
}

class Win32Registry final : public RegistryStore {
 public:
  long OpenKeyEx(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) override {
    HKEY out = nullptr;
    LONG result = RegOpenKeyExA(K(root), path.c_str(), 0, access, &out);
    *key = result == ERROR_SUCCESS ? FromHkey(out) : 0;
    return result;
  }
  long QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override {
    DWORD t = 0;
    DWORD s = size ? *size : 0;
    LONG result = RegQueryValueExA(K(key), name.c_str(), nullptr, &t, data, size ? &s : nullptr);
    if (type) *type = t;
    if (size) *size = s;
    return result;
  }
  long CreateKey(RegKey root, const std::string& path, RegKey* key) override {
    HKEY out = nullptr;
    LONG result = RegCreateKeyA(K(root), path.c_str(), &out);
    *key = result == ERROR_SUCCESS ? FromHkey(out) : 0;
    return result;
  }
  long SetValueEx(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
    return RegSetValueExA(K(key), name.c_str(), 0, type, data, size);
  }
  long CloseKey(RegKey key) override { return RegCloseKey(K(key)); }
};

}  // namespace

std::unique_ptr<RegistryStore> CreatePlatformRegistry() { return std::make_unique<Win32Registry>(); }
