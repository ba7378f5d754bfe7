#include "render/metafile_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "catalogue/test_files.h"
#include "render/bytes_file.h"

namespace {

// The byte offset of the first record after the placeable and standard headers.
constexpr std::size_t kFirstRecord = 22 + 18;

std::string With(std::string bytes, std::size_t at, std::uint32_t dword) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(dword >> (8 * i));
  return bytes;
}

// Players allocate by the sizes a metafile declares: only one whose sizes
// hold is played.
TEST(MetafileRecordsTest, OnlySoundSizesPass) {
  const std::string good = test_files::Wmf(0xFF0000);
  const std::string words = test_files::Wmf(0xFF0000, 0x2B1A205A);  // a damaged size word: 1.4 GB
  struct Case {
    const char* what;
    std::string bytes;
    bool sound;
  } cases[] = {
      {"sound", good, true},
      {"without the placeable header", good.substr(22), true},
      {"with bytes after the end", good + std::string(10, '\x7f'), true},
      {"file far shorter than its header says", words, false},
      {"cut before its end record", good.substr(0, good.size() - 6), false},
      {"a record of no size", With(good, kFirstRecord, 0), false},
      {"a record past the end", With(good, kFirstRecord, 0x8000), false},
      {"a record over the largest declared", With(good, kFirstRecord, 8), false},
      {"not a metafile", test_files::Bmp(4, 4), false},
      {"empty", "", false},
  };
  for (const Case& c : cases) {
    BytesFile file(c.bytes);
    EXPECT_EQ(MetafileRecordsAreSound(file), c.sound) << c.what;
  }
}

}  // namespace
