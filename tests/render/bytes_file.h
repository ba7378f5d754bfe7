#pragma once
// A picture file held in memory, for the readers' tests and fuzz targets.
#include <algorithm>
#include <cstring>
#include <string>

#include "render/picture_file.h"

class BytesFile final : public PictureFile {
 public:
  explicit BytesFile(std::string bytes) : bytes_(std::move(bytes)) {}
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    if (offset >= bytes_.size()) return 0;
    const std::size_t n = std::min<std::size_t>(size, bytes_.size() - offset);
    std::memcpy(buffer, bytes_.data() + offset, n);
    return n;
  }

 private:
  std::string bytes_;
};
