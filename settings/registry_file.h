#pragma once
// A registry store kept in .reg files (settings/reg_file.h), one file per
// root key: what the Linux build uses in place of the Windows registry. The
// store looks at the file's stamp on every call and reads it again only when
// it changed, so hand edits and other processes' saves are seen at once
// while a file is parsed once, not on every call; it replaces the file
// whole, atomically, for every change, keeping every other key, value and
// comment in it.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "settings/registry.h"

// The file behind each root key; an empty path means the root has no file.
struct RegFilePaths {
  std::string current_user;   // HKEY_CURRENT_USER
  std::string local_machine;  // HKEY_LOCAL_MACHINE
};

// What tells one content of a file from the next: a file changed or replaced
// gets another stamp.
struct RegFileStamp {
  std::uint64_t device = 0, file = 0, size = 0;
  std::int64_t modified_ns = 0;
  bool operator==(const RegFileStamp&) const = default;
};

// What the store needs from the file system.
class RegFileIo {
 public:
  enum class ReadResult { kRead, kMissing, kFailed };
  virtual ~RegFileIo() = default;
  // The file's stamp; nothing when it is missing or cannot be told.
  virtual std::optional<RegFileStamp> Stamp(const std::string& path) = 0;
  // The whole file; kMissing when it does not exist, kFailed when it exists
  // but cannot be read (or is too large, or not a regular file).
  virtual ReadResult ReadFile(const std::string& path, std::string& bytes) = 0;
  // Replaces the file in one step (creating its folder), and gives the new
  // file's stamp; on false the old file is untouched. `shared`: a
  // machine-wide file others must read.
  virtual bool ReplaceFile(const std::string& path, const std::string& bytes, bool shared, RegFileStamp& stamp) = 0;
  // Whether this user may replace the file, or create it where it is missing.
  virtual bool CanWrite(const std::string& path) = 0;
};

std::unique_ptr<RegistryStore> CreateFileRegistry(RegFilePaths paths, std::unique_ptr<RegFileIo> io);
