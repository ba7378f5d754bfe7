#pragma once
// In-memory registry with the same results as advapi32: keys by case-blind
// path, values by case-blind name, the 1,024-byte style size check, the NT
// rule that stores an uncounted string terminator, and roots that may be
// read but not written (a non-administrator's HKEY_LOCAL_MACHINE).
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "settings/registry.h"

class FakeRegistry final : public RegistryStore {
 public:
  struct Value {
    std::string name;
    std::uint32_t type = 0;
    std::string data;
  };

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
  bool HasKey(RegKey root, const std::string& path) const;
  int OpenHandles() const { return static_cast<int>(handles_.size()); }

  std::set<RegKey> read_only_roots;
  std::vector<std::uint32_t> open_access;  // access mask of every OpenKeyEx
  std::vector<std::string> queried;        // value names, in call order
  std::vector<std::string> written;

 private:
  struct Key {
    std::vector<Value> values;
  };
  struct Handle {
    RegKey root;
    std::string id;
  };

  static std::string Id(RegKey root, const std::string& path);
  Value* FindIn(const std::string& id, const std::string& name);
  RegKey NewHandle(RegKey root, std::string id);
  const Handle* Resolve(RegKey key);
  void Ensure(RegKey root, const std::string& path);
  void Store(const std::string& id, const std::string& name, std::uint32_t type, std::string data);

  std::map<std::string, Key> keys_;  // by Id
  std::map<RegKey, Handle> handles_;
  std::map<RegKey, Handle> roots_;
  RegKey next_handle_ = 0x100;
};
