#include "fakes/fake_registry.h"

#include <algorithm>
#include <cstring>

namespace {

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
  return text;
}

}  // namespace

std::string FakeRegistry::Id(RegKey root, const std::string& path) {
  std::string id = root == kHkeyCurrentUser ? "HKCU" : root == kHkeyLocalMachine ? "HKLM" : "?";
  return path.empty() ? id : id + "\\" + Upper(path);
}

FakeRegistry::Value* FakeRegistry::FindIn(const std::string& id, const std::string& name) {
  auto key = keys_.find(id);
  if (key == keys_.end()) return nullptr;
  for (Value& value : key->second.values) {
    if (Upper(value.name) == Upper(name)) return &value;
  }
  return nullptr;
}

RegKey FakeRegistry::NewHandle(RegKey root, std::string id) {
  next_handle_ += 8;
  handles_[next_handle_] = Handle{root, std::move(id)};
  return next_handle_;
}

const FakeRegistry::Handle* FakeRegistry::Resolve(RegKey key) {
  if (key == kHkeyCurrentUser || key == kHkeyLocalMachine) {
    roots_[key] = Handle{key, Id(key, "")};
    return &roots_[key];
  }
  auto it = handles_.find(key);
  return it == handles_.end() ? nullptr : &it->second;
}

long FakeRegistry::OpenKeyEx(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) {
  open_access.push_back(access);
  *key = 0;
  if (root != kHkeyCurrentUser && root != kHkeyLocalMachine) return kRegInvalidHandle;
  if (!path.empty() && !keys_.count(Id(root, path))) return kRegFileNotFound;
  if ((access & kRegWriteRights) && read_only_roots.count(root)) return kRegAccessDenied;
  *key = NewHandle(root, Id(root, path));
  return kRegSuccess;
}

long FakeRegistry::QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                                std::uint32_t* size) {
  queried.push_back(name);
  const Handle* handle = Resolve(key);
  if (!handle) return kRegInvalidHandle;
  const Value* value = FindIn(handle->id, name);
  if (!value) return kRegFileNotFound;
  *type = value->type;
  auto length = static_cast<std::uint32_t>(value->data.size());
  if (data && length > *size) {
    *size = length;
    return kRegMoreData;
  }
  if (data) std::memcpy(data, value->data.data(), length);
  *size = length;
  return kRegSuccess;
}

long FakeRegistry::CreateKey(RegKey root, const std::string& path, RegKey* key) {
  *key = 0;
  if (root != kHkeyCurrentUser && root != kHkeyLocalMachine) return kRegInvalidHandle;
  if (read_only_roots.count(root)) return kRegAccessDenied;
  Ensure(root, path);
  *key = NewHandle(root, Id(root, path));
  return kRegSuccess;
}

long FakeRegistry::SetValueEx(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                              std::uint32_t size) {
  written.push_back(name);
  const Handle* handle = Resolve(key);
  if (!handle) return kRegInvalidHandle;
  if (read_only_roots.count(handle->root)) return kRegAccessDenied;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  if (IsRegStringType(type) && size > 0 && data[size - 1] != 0 && data[size] == 0) bytes += '\0';
  Store(handle->id, name, type, std::move(bytes));
  return kRegSuccess;
}

long FakeRegistry::CloseKey(RegKey key) {
  if (key == kHkeyCurrentUser || key == kHkeyLocalMachine) return kRegSuccess;
  return handles_.erase(key) ? kRegSuccess : kRegInvalidHandle;
}

void FakeRegistry::Ensure(RegKey root, const std::string& path) {
  // Every key on the way down exists afterwards.
  for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1)) {
    keys_[Id(root, path.substr(0, at))];
  }
  keys_[Id(root, path)];
}

void FakeRegistry::Store(const std::string& id, const std::string& name, std::uint32_t type, std::string data) {
  if (Value* existing = FindIn(id, name)) {
    existing->type = type;
    existing->data = std::move(data);
  } else {
    keys_[id].values.push_back(Value{name, type, std::move(data)});
  }
}

void FakeRegistry::Put(RegKey root, const std::string& path, const std::string& name, std::uint32_t type,
                       std::string data) {
  Ensure(root, path);
  Store(Id(root, path), name, type, std::move(data));
}

const FakeRegistry::Value* FakeRegistry::Find(RegKey root, const std::string& path, const std::string& name) const {
  return const_cast<FakeRegistry*>(this)->FindIn(Id(root, path), name);
}

bool FakeRegistry::HasKey(RegKey root, const std::string& path) const {
  return path.empty() || keys_.count(Id(root, path)) > 0;
}
