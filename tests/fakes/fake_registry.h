#pragma once
// The registry for tests: the .reg file store over a file in memory (the
// store contract holds it to the real registry's results), with a way to
// store bytes and to look at what is stored.
#include <cstdint>
#include <memory>
#include <string>

#include "settings/reg_file_properties.h"
#include "settings/registry.h"

class FakeRegistry final : public RegistryStore {
 public:
  struct Value {
    std::uint32_t type = 0;
    std::string data;
  };

  long OpenKeyEx(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) override {
    return store_->OpenKeyEx(root, path, access, key);
  }
  long QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override {
    return store_->QueryValueEx(key, name, type, data, size);
  }
  long CreateKey(RegKey root, const std::string& path, RegKey* key) override {
    return store_->CreateKey(root, path, key);
  }
  long SetValueEx(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
    return store_->SetValueEx(key, name, type, data, size);
  }
  long CloseKey(RegKey key) override { return store_->CloseKey(key); }

  // Stores the bytes (creating the key).
  void Put(RegKey root, const std::string& path, const std::string& name, std::uint32_t type, std::string data) {
    RegKey key = 0;
    store_->CreateKey(root, path, &key);
    store_->SetValueEx(key, name, type, reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
    store_->CloseKey(key);
  }
  // The stored value, or nullptr (valid until the next call).
  const Value* Find(RegKey root, const std::string& path, const std::string& name) {
    RegKey key = 0;
    if (store_->OpenKeyEx(root, path, kRegAccessRead, &key) != kRegSuccess) return nullptr;
    std::uint32_t size = 4096;
    found_.data.assign(size, '\0');
    const long result =
        store_->QueryValueEx(key, name, &found_.type, reinterpret_cast<std::uint8_t*>(found_.data.data()), &size);
    store_->CloseKey(key);
    found_.data.resize(size);
    return result == kRegSuccess ? &found_ : nullptr;
  }

 private:
  std::unique_ptr<RegistryStore> store_ =
      CreateFileRegistry({"user.reg", ""}, std::make_unique<reg_file_properties::MemoryFile>(""));
  Value found_;
};
