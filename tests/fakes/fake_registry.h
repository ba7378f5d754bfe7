#pragma once
// In-memory registry with the results advapi32 gives: keys by case-blind
// path, values by case-blind name, the NT rule that stores an uncounted
// string terminator, and roots that may be read but not written (a
// non-administrator's HKEY_LOCAL_MACHINE).
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "settings/registry.h"

class FakeRegistry final : public RegistryStore {
 public:
  struct Value { std::uint32_t type = 0; std::string data; };

  long OpenKeyEx(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) override;
  long QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
  long CreateKey(RegKey root, const std::string& path, RegKey* key) override;
  long SetValueEx(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override;
  long CloseKey(RegKey key) override;

  // Stores bytes as they are (creating the key), bypassing every rule.
  void Put(RegKey root, const std::string& path, const std::string& name, std::uint32_t type, std::string data);
  // The stored value, or nullptr.
  const Value* Find(RegKey root, const std::string& path, const std::string& name) const;
  int OpenHandles() const { return static_cast<int>(handles_.size()); }

  std::set<RegKey> read_only_roots;

 private:
  struct Handle { RegKey root; std::string id; };
  static std::string Id(RegKey root, const std::string& path);
  long Open(RegKey root, const std::string& path, RegKey* key);
  void Ensure(RegKey root, const std::string& path);

  std::map<std::string, std::map<std::string, Value>> keys_;  // by Id, then by upper-case name
  std::map<RegKey, Handle> handles_;
  RegKey next_handle_ = 0x100;
};
