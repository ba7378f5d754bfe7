#include "decode/metafile_records.h"

#include <cstdint>
#include <vector>

#include "platform/byte_reader.h"

namespace {

// Reads little-endian words front to back through a block buffer.
class BlockReader {
 public:
  explicit BlockReader(PictureFile& file) : file_(file) {}
  bool Read(std::uint64_t offset, std::uint8_t* out, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
      const std::uint64_t at = offset + i;
      if (at < start_ || at >= start_ + filled_) {
        start_ = at;
        filled_ = file_.ReadAt(at, block_.data(), block_.size());
        if (filled_ == 0) return false;
      }
      out[i] = block_[at - start_];
    }
    return true;
  }
  bool Le16(std::uint64_t offset, std::uint32_t& value) {
    std::uint8_t b[2];
    if (!Read(offset, b, 2)) return false;
    value = ByteReader(b, 2).U16(0);
    return true;
  }
  bool Le32(std::uint64_t offset, std::uint32_t& value) {
    std::uint8_t b[4];
    if (!Read(offset, b, 4)) return false;
    value = ByteReader(b, 4).U32(0);
    return true;
  }

 private:
  PictureFile& file_;
  std::vector<std::uint8_t> block_ = std::vector<std::uint8_t>(64 * 1024);
  std::uint64_t start_ = 0;
  std::size_t filled_ = 0;
};

// The length the header declares (with the placeable header before it),
// when the records are sound; 0 otherwise.
std::uint64_t SoundLength(PictureFile& file) {
  BlockReader in(file);
  std::uint32_t key = 0, type = 0, header_words = 0, version = 0, size_words = 0, max_record = 0;
  std::uint64_t start = 0;
  if (in.Le32(0, key) && key == 0x9AC6CDD7u) start = 22;  // the placeable header before it
  if (!in.Le16(start, type) || !in.Le16(start + 2, header_words) || !in.Le16(start + 4, version) ||
      !in.Le32(start + 6, size_words) || !in.Le32(start + 12, max_record))
    return 0;
  if ((type != 1 && type != 2) || header_words != 9 || (version != 0x100 && version != 0x300)) return 0;
  const std::uint64_t end = start + static_cast<std::uint64_t>(size_words) * 2;
  if (end - start > kMaxMetafileBytes || max_record > size_words) return 0;
  std::uint8_t last = 0;
  if (!in.Read(end - 1, &last, 1)) return 0;  // shorter than it says
  for (std::uint64_t at = start + 18; at < end;) {
    std::uint32_t record_words = 0, function = 0;
    if (!in.Le32(at, record_words) || !in.Le16(at + 4, function)) return 0;
    if (record_words < 3 || record_words > max_record || at + record_words * 2ull > end) return 0;
    if (function == 0) return record_words == 3 ? end : 0;  // the end record
    at += record_words * 2ull;
  }
  return 0;  // no end record
}

}  // namespace

bool MetafileRecordsAreSound(PictureFile& file) { return SoundLength(file) > 0; }

std::unique_ptr<MemoryPictureFile> ReadSoundMetafile(PictureFile& file) {
  const std::uint64_t length = SoundLength(file);
  if (!length) return nullptr;
  std::string bytes(static_cast<std::size_t>(length), '\0');
  if (file.ReadAt(0, bytes.data(), bytes.size()) != bytes.size()) return nullptr;
  auto read = std::make_unique<MemoryPictureFile>(std::move(bytes));
  if (SoundLength(*read) != length) return nullptr;  // changed since it was checked
  return read;
}
