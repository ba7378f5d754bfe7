#include "fakes/fake_registry.h"

#include <cstring>

namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  return text;
}

}  // namespace

std::string FakeRegistry::Id(RegKey root, const std::string& path) { return std::to_string(root) + "\\" + Upper(path); }

long FakeRegistry::Open(RegKey root, const std::string& path, RegKey* key) {
  *key = 0;
  if (root != kHkeyCurrentUser && root != kHkeyLocalMachine) return kRegInvalidHandle;
  next_handle_ += 8;
  handles_[next_handle_] = Handle{root, Id(root, path)};
  *key = next_handle_;
  return kRegSuccess;
}

long FakeRegistry::OpenKeyEx(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) {
  *key = 0;
  if (!path.empty() && !keys_.count(Id(root, path))) return kRegFileNotFound;
  if ((access & kRegWriteRights) && read_only_roots.count(root)) return kRegAccessDenied;
  return Open(root, path, key);
}

long FakeRegistry::QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                                std::uint32_t* size) {
  auto handle = handles_.find(key);
  if (handle == handles_.end()) return kRegInvalidHandle;
  auto& values = keys_[handle->second.id];
  auto value = values.find(Upper(name));
  if (value == values.end()) return kRegFileNotFound;
  *type = value->second.type;
  auto length = static_cast<std::uint32_t>(value->second.data.size());
  bool fits = !data || length <= *size;
  if (data && fits) std::memcpy(data, value->second.data.data(), length);
  *size = length;
  return fits ? kRegSuccess : kRegMoreData;
}

long FakeRegistry::CreateKey(RegKey root, const std::string& path, RegKey* key) {
  *key = 0;
  if (read_only_roots.count(root)) return kRegAccessDenied;
  long result = Open(root, path, key);
  if (result == kRegSuccess) Ensure(root, path);
  return result;
}

void FakeRegistry::Ensure(RegKey root, const std::string& path) {
  for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1)) {
    keys_[Id(root, path.substr(0, at))];  // every key on the way down
  }
  keys_[Id(root, path)];
}

long FakeRegistry::SetValueEx(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                              std::uint32_t size) {
  auto handle = handles_.find(key);
  if (handle == handles_.end()) return kRegInvalidHandle;
  if (read_only_roots.count(handle->second.root)) return kRegAccessDenied;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  if (IsRegStringType(type) && size > 0 && data[size - 1] != 0 && data[size] == 0) bytes += '\0';
  keys_[handle->second.id][Upper(name)] = Value{type, std::move(bytes)};
  return kRegSuccess;
}

long FakeRegistry::CloseKey(RegKey key) { return handles_.erase(key) ? kRegSuccess : kRegInvalidHandle; }

void FakeRegistry::Put(RegKey root, const std::string& path, const std::string& name, std::uint32_t type,
                       std::string data) {
  Ensure(root, path);
  keys_[Id(root, path)][Upper(name)] = Value{type, std::move(data)};
}

const FakeRegistry::Value* FakeRegistry::Find(RegKey root, const std::string& path, const std::string& name) const {
  auto key = keys_.find(Id(root, path));
  if (key == keys_.end()) return nullptr;
  auto value = key->second.find(Upper(name));
  return value == key->second.end() ? nullptr : &value->second;
}
