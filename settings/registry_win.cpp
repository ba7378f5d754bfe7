// Windows registry store: the five advapi32 calls, ANSI forms.
#include <windows.h>

#include "settings/registry.h"

namespace {

HKEY K(RegKey key) { return reinterpret_cast<HKEY>(key); }

class Win32Registry final : public RegistryStore {
 public:
  long OpenKeyEx(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) override {
    HKEY out = nullptr;
    LONG result = RegOpenKeyExA(K(root), path.c_str(), 0, access, &out);
    *key = reinterpret_cast<RegKey>(out);
    return result;
  }
  long QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override {
    DWORD t = 0, s = *size;
    LONG result = RegQueryValueExA(K(key), name.c_str(), nullptr, &t, data, &s);
    *type = t;
    *size = s;
    return result;
  }
  long CreateKey(RegKey root, const std::string& path, RegKey* key) override {
    HKEY out = nullptr;
    LONG result = RegCreateKeyA(K(root), path.c_str(), &out);
    *key = reinterpret_cast<RegKey>(out);
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
