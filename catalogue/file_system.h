#pragma once
// File-system port: folder listing with attributes, attribute query, shortcut resolution.
// (First cut: the interface grows with the subsystem that uses it.)
#include <memory>

class FileSystem {
 public:
  virtual ~FileSystem() = default;
};

std::unique_ptr<FileSystem> CreatePlatformFileSystem();
