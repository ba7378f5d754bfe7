#pragma once
// A picture file opened for reading by offset: the only way the header reader
// and the decoders get at a picture's bytes. Only a regular file opens: a
// device or a pipe reached through a link could block a reader for ever, or
// never end, and holds no picture anyway. Thread-safe: each open is its own.
// posix: picture_file_posix.cpp; Windows: picture_file_win.cpp.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "decode/picture_header.h"

class PictureFile {
 public:
  virtual ~PictureFile() = default;
  // Up to size bytes at offset; how many were read (0 at the end or on an error).
  virtual std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
  // Its length in bytes now (0 when it cannot be told).
  virtual std::uint64_t Size() = 0;
};

// Bytes already read, as a picture file: what a decoder reads is then what
// was checked.
class MemoryPictureFile final : public PictureFile {
 public:
  explicit MemoryPictureFile(std::string bytes) : bytes_(std::move(bytes)) {}
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    if (offset >= bytes_.size()) return 0;
    const std::size_t n = std::min<std::size_t>(size, bytes_.size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer, bytes_.data() + offset, n);
    return n;
  }
  std::uint64_t Size() override { return bytes_.size(); }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// What tells one version of a file from the next: its modification time
// and size; both -1 when the file cannot be read.
struct FileStamp {
  std::int64_t modified = -1;  // in the platform's own units
  std::int64_t size = -1;

  bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at path as it is now. Reads the file system: never
// on the UI thread.
FileStamp ReadFileStamp(const std::string& path);

// Null when the path names no regular file that can be read.
std::unique_ptr<PictureFile> OpenPictureFile(const std::string& path);

// The header of the file at path; Unknown when it cannot be opened or read.
PictureHeader ReadPictureFileHeader(const std::string& path);
