#pragma once
// Registry store port: the five advapi32 operations the settings need, with
// the same numbers and results, so the value rules above it are portable.
// Windows: advapi32 (registry_win.cpp). Linux: .reg-format text files
// (registry_file.cpp). Tests: an in-memory store (tests/fakes).
#include <cstdint>
#include <memory>
#include <string>

using RegKey = std::uintptr_t;
constexpr RegKey kHkeyCurrentUser = 0x80000001u;
constexpr RegKey kHkeyLocalMachine = 0x80000002u;

// Value types, in the system's numbering.
enum RegType : std::uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
};

// Result codes: 0 is success, anything else a failure (Windows error numbers).
constexpr long kRegSuccess = 0;
constexpr long kRegFileNotFound = 2;
constexpr long kRegAccessDenied = 5;
constexpr long kRegMoreData = 234;

class RegistryStore {
 public:
  virtual ~RegistryStore() = default;
  // RegOpenKeyExA(root, path, 0, access, &key).
  virtual long OpenKeyEx(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) = 0;
  // RegQueryValueExA(key, name, nullptr, &type, data, &size): size in = buffer size,
  // out = bytes of the value (kRegMoreData when it does not fit).
  virtual long QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) = 0;
  // RegCreateKeyA(root, path, &key).
  virtual long CreateKey(RegKey root, const std::string& path, RegKey* key) = 0;
  // RegSetValueExA(key, name, 0, type, data, size).
  virtual long SetValueEx(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                          std::uint32_t size) = 0;
  // RegCloseKey(key).
  virtual long CloseKey(RegKey key) = 0;
};

std::unique_ptr<RegistryStore> CreatePlatformRegistry();
