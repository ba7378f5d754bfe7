#include "decode/picture_file.h"

#include "decode/picture_probe.h"

PictureHeader ReadPictureFileHeader(const std::string& path) {
  std::unique_ptr<PictureFile> file = OpenPictureFile(path);
  if (!file) return {};
  return ReadPictureHeader(
      [&file](std::uint64_t offset, void* buffer, std::size_t size) { return file->ReadAt(offset, buffer, size); });
}

namespace {

class HeaderProbe final : public PictureProbe {
 public:
  PictureHeader Read(const std::string& path) override { return ReadPictureFileHeader(path); }
};

}  // namespace

std::unique_ptr<PictureProbe> CreateHeaderProbe() { return std::make_unique<HeaderProbe>(); }
