#pragma once
// File-system port of the folder walk: list a folder with the attributes of
// its entries, query the attributes of a path, resolve a shortcut. Paths are
// UTF-8 text with the platform separator; folder paths end with it.
// Implemented by file_system_win.cpp (FindFirstFileW, IShellLinkW),
// file_system_posix.cpp (opendir/readdir, symbolic links and .lnk files) and
// FakeFileSystem in tests/fakes.
//
// Any thread may call it, and several at once: the walk runs on its work
// queue, which leaves a stuck thread to its call and goes on with a fresh
// one beside it. A listing is used by one thread at a time.
#include <cstdint>
#include <memory>
#include <string>

// Attribute bits, numbered as Windows numbers them, plus one bit of our own.
enum FileAttributeBits : std::uint32_t {
  kFileReadOnly = 0x01,
  kFileHidden = 0x02,
  kFileSystem = 0x04,
  kFileDirectory = 0x10,
  kFileArchive = 0x20,
  // A symbolic link (POSIX only): followed like a shortcut file, never as a
  // plain folder, so links are resolved in one place.
  kFileSymlink = 0x10000,
};

struct FolderEntry {
  std::string name;              // the entry's own name, no separator
  std::uint32_t attributes = 0;  // 0 when they could not be read: counts as a file
};

// An open folder, read entry by entry so the walk can yield between entries.
class FolderListing {
 public:
  virtual ~FolderListing() = default;
  // The next entry in the order the file system gives them; false at the end
  // (or on a read error, which ends the listing). Never returns "." or "..",
  // nor entries with the system attribute, nor (POSIX) devices, pipes or
  // sockets, which cannot hold a picture.
  virtual bool Next(FolderEntry& entry) = 0;
  // A text that is equal for two paths leading to the same folder (device
  // and inode, volume and file index), or empty when it cannot be told.
  virtual std::string Identity() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Opens a folder (path ending with the separator) for listing; null when it
  // cannot be listed (missing, no access, not a folder).
  virtual std::unique_ptr<FolderListing> OpenFolder(const std::string& folder) = 0;
  // Attributes of a path, links followed; 0 when the query fails.
  virtual std::uint32_t GetAttributes(const std::string& path) = 0;
  // The target path of the shortcut folder & name (a .lnk file, or a
  // symbolic link on POSIX); empty when it cannot be resolved.
  virtual std::string ResolveShortcut(const std::string& folder, const std::string& name) = 0;
};

std::unique_ptr<FileSystem> CreatePlatformFileSystem();
