#pragma once
// A picture file opened for reading by offset: the only way the header reader
// and the decoders get at a picture's bytes. Only a regular file opens: a
// device or a pipe reached through a link could block a reader for ever, or
// never end, and holds no picture anyway. Thread-safe: each open is its own.
// posix: picture_file_posix.cpp; Windows: picture_file_win.cpp.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "render/picture_header.h"

class PictureFile {
 public:
  virtual ~PictureFile() = default;
  // Up to size bytes at offset; how many were read (0 at the end or on an error).
  virtual std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
};

// Null when the path names no regular file that can be read.
std::unique_ptr<PictureFile> OpenPictureFile(const std::string& path);

// The header of the file at path; Unknown when it cannot be opened or read.
PictureHeader ReadPictureFileHeader(const std::string& path);
