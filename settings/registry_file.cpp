#include "settings/registry_file.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>

#include "settings/reg_file.h"
#include "settings/reg_text.h"

namespace {

constexpr long kRegInvalidParameter = 87;

const char* RootName(RegKey root) {
  if (root == kHkeyCurrentUser) return "HKEY_CURRENT_USER";
  if (root == kHkeyLocalMachine) return "HKEY_LOCAL_MACHINE";
  return nullptr;
}

// A key path as compared: case folded, without trailing backslashes.
std::string KeyId(std::string_view path) {
  while (path.ends_with('\\')) path.remove_suffix(1);
  return FoldCase(path);
}

bool KeyExists(const RegFileDocument& doc, const std::string& id) {
  std::string below = id + "\\";
  return std::any_of(doc.sections.begin(), doc.sections.end(), [&](const RegFileSection& section) {
    if (!section.readable) return false;
    std::string section_id = KeyId(section.key);
    return section_id == id || section_id.starts_with(below);
  });
}

// The value that counts when a name occurs more than once: the last one.
RegFileValue* FindValue(RegFileDocument& doc, const std::string& id, const std::string& name) {
  RegFileValue* found = nullptr;
  for (RegFileSection& section : doc.sections) {
    if (!section.readable || KeyId(section.key) != id) continue;
    for (RegFileEntry& entry : section.entries) {
      if (entry.kind == RegFileEntryKind::kValue && SameRegName(entry.value.name, name)) found = &entry.value;
    }
  }
  return found;
}

RegFileSection& LastSection(RegFileDocument& doc, const std::string& id, const std::string& key) {
  for (auto it = doc.sections.rbegin(); it != doc.sections.rend(); ++it) {
    if (it->readable && KeyId(it->key) == id) return *it;
  }
  doc.sections.push_back(RegFileSection{key, true, "", {}});
  return doc.sections.back();
}

// Replaces the value, or adds it in name order (the order `reg export` uses).
void PutValue(RegFileDocument& doc, const std::string& key, RegFileValue value) {
  std::string id = KeyId(key);
  if (RegFileValue* existing = FindValue(doc, id, value.name)) {
    existing->type = value.type;
    existing->data = std::move(value.data);
    return;
  }
  std::vector<RegFileEntry>& entries = LastSection(doc, id, key).entries;
  auto place = std::find_if(entries.begin(), entries.end(), [&](const RegFileEntry& entry) {
    return entry.kind == RegFileEntryKind::kValue && RegNameLess(value.name, entry.value.name);
  });
  RegFileEntry entry;
  entry.value = std::move(value);
  entries.insert(place, std::move(entry));
}

class FileRegistry final : public RegistryStore {
 public:
  FileRegistry(RegFilePaths paths, std::unique_ptr<RegFileIo> io) : paths_(std::move(paths)), io_(std::move(io)) {}

  long OpenKeyEx(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) override {
    *key = 0;
    const std::string* file = FileOf(root);
    if (!file) return kRegInvalidHandle;
    RegFileDocument* doc = nullptr;
    if (long result = Load(root, doc)) return result;
    std::string full = FullPath(root, path);
    if (!path.empty() && !KeyExists(*doc, KeyId(full))) return kRegFileNotFound;
    bool writable = CanWrite(*file);
    if ((access & kRegWriteRights) != 0 && !writable) return kRegAccessDenied;
    *key = NewHandle({root, full, writable});
    return kRegSuccess;
  }

  long QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override {
    std::optional<Handle> handle = Find(key);
    if (!handle) return kRegInvalidHandle;
    if (!size) return kRegInvalidParameter;
    RegFileDocument* doc = nullptr;
    if (long result = Load(handle->root, doc)) return result;
    std::string id = KeyId(handle->key);
    if (handle->key != RootName(handle->root) && !KeyExists(*doc, id)) return kRegFileNotFound;
    const RegFileValue* value = FindValue(*doc, id, name);
    if (!value) return kRegFileNotFound;
    if (type) *type = value->type;
    auto length = static_cast<std::uint32_t>(std::min<std::size_t>(value->data.size(), UINT32_MAX));
    if (data && length > *size) {
      *size = length;
      return kRegMoreData;
    }
    if (data) std::memcpy(data, value->data.data(), length);
    *size = length;
    return kRegSuccess;
  }

  long CreateKey(RegKey root, const std::string& path, RegKey* key) override {
    *key = 0;
    const std::string* file = FileOf(root);
    if (!file) return kRegInvalidHandle;
    if (!CanWrite(*file)) return kRegAccessDenied;
    RegFileDocument* doc = nullptr;
    if (long result = Load(root, doc)) return result;
    std::string full = FullPath(root, path);
    if (!path.empty() && !KeyExists(*doc, KeyId(full))) {
      doc->sections.push_back(RegFileSection{full, true, "", {}});
      if (!Save(root)) return kRegIoFailed;
    }
    *key = NewHandle({root, full, true});
    return kRegSuccess;
  }

  long SetValueEx(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
    std::optional<Handle> handle = Find(key);
    if (!handle) return kRegInvalidHandle;
    if (!handle->writable) return kRegAccessDenied;
    if (size > 0 && !data) return kRegInvalidParameter;
    RegFileDocument* doc = nullptr;
    // A file that exists but cannot be read is never overwritten.
    if (long result = Load(handle->root, doc)) return result;
    RegFileValue value{name, type, std::string(reinterpret_cast<const char*>(data), size)};
    // Windows NT stores the terminator of a string the caller did not count.
    if (IsRegStringType(type) && size > 0 && data[size - 1] != 0 && data[size] == 0) value.data += '\0';
    PutValue(*doc, handle->key, std::move(value));
    return Save(handle->root) ? kRegSuccess : kRegIoFailed;
  }

  long CloseKey(RegKey key) override {
    if (RootName(key)) return kRegSuccess;
    return handles_.erase(key) ? kRegSuccess : kRegInvalidHandle;
  }

 private:
  struct Handle {
    RegKey root;
    std::string key;  // full path, root name first
    bool writable;
  };

  const std::string* FileOf(RegKey root) const {
    if (root == kHkeyCurrentUser) return &paths_.current_user;
    if (root == kHkeyLocalMachine) return &paths_.local_machine;
    return nullptr;
  }

  static std::string FullPath(RegKey root, const std::string& path) {
    return path.empty() ? RootName(root) : RootName(root) + ("\\" + path);
  }

  bool CanWrite(const std::string& file) { return !file.empty() && io_->CanWrite(file); }

  // The root's document: the one read before while the file keeps its
  // stamp, else the file read and parsed again. A missing file is an empty
  // registry; one that cannot be read is an error.
  long Load(RegKey root, RegFileDocument*& doc) {
    Loaded& loaded = root == kHkeyCurrentUser ? current_user_ : local_machine_;
    doc = &loaded.doc;
    const std::string& file = *FileOf(root);
    if (file.empty()) return kRegSuccess;
    std::optional<RegFileStamp> stamp = io_->Stamp(file);
    if (stamp && loaded.stamp == stamp) return kRegSuccess;
    loaded = {};
    std::string bytes;
    switch (io_->ReadFile(file, bytes)) {
      case RegFileIo::ReadResult::kRead:
        // The stamp from before the read: a change during it is seen at the next call.
        loaded.doc = ParseRegFile(bytes);
        loaded.stamp = stamp;
        return kRegSuccess;
      case RegFileIo::ReadResult::kMissing: return kRegSuccess;
      case RegFileIo::ReadResult::kFailed: break;
    }
    return kRegAccessDenied;
  }

  // Writes the root's document, changed in place by the caller; after a
  // failed write the file is read again.
  bool Save(RegKey root) {
    Loaded& loaded = root == kHkeyCurrentUser ? current_user_ : local_machine_;
    RegFileStamp stamp;
    if (io_->ReplaceFile(*FileOf(root), WriteRegFile(loaded.doc), root == kHkeyLocalMachine, stamp)) {
      loaded.stamp = stamp;
      return true;
    }
    loaded = {};
    return false;
  }

  RegKey NewHandle(Handle handle) {
    next_handle_ += 4;
    handles_[next_handle_] = std::move(handle);
    return next_handle_;
  }

  // The root keys are open keys too.
  std::optional<Handle> Find(RegKey key) {
    if (RootName(key)) return Handle{key, RootName(key), CanWrite(*FileOf(key))};
    auto it = handles_.find(key);
    if (it == handles_.end()) return std::nullopt;
    return it->second;
  }

  struct Loaded {
    std::optional<RegFileStamp> stamp;  // nothing: read the file again
    RegFileDocument doc;
  };

  RegFilePaths paths_;
  std::unique_ptr<RegFileIo> io_;
  Loaded current_user_, local_machine_;
  std::map<RegKey, Handle> handles_;
  RegKey next_handle_ = 0x1000;
};

}  // namespace

std::unique_ptr<RegistryStore> CreateFileRegistry(RegFilePaths paths, std::unique_ptr<RegFileIo> io) {
  return std::make_unique<FileRegistry>(std::move(paths), std::move(io));
}
