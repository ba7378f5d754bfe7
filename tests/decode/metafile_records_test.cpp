#include "decode/metafile_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "catalogue/test_files.h"
#include "decode/bytes_file.h"

namespace {

// Where the placeable metafile of test_files::Wmf keeps its size (40
// words), its largest record (7 words), its first record and its end record.
constexpr std::size_t kSize = 28, kLargest = 34, kFirstRecord = 40, kEndRecord = 96;

std::string With(std::string bytes, std::size_t at, std::uint32_t value, int size = 4) {
  std::string le;
  for (int i = 0; i < size; ++i) le += static_cast<char>(value >> (8 * i));
  std::copy(le.begin(), le.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
  return bytes;
}

// Over 32 MB of sound records: one-word SaveDC records, then the end.
std::string Huge() {
  std::string records;
  for (int i = 0; i < 5'600'000; ++i) records += std::string("\3\0\0\0\x1E\0", 6);
  const std::string good = test_files::Wmf(0);
  return With(With(good.substr(0, kFirstRecord), kSize, 9 + 5'600'000 * 3 + 3), kLargest, 3) + records +
         good.substr(kEndRecord);
}

// Players allocate by the sizes a metafile declares: only one whose sizes
// hold is played. One case for each rule.
TEST(MetafileRecordsTest, OnlySoundSizesPass) {
  const std::string good = test_files::Wmf(0xFF0000);
  struct Case {
    const char* what;
    std::string bytes;
    bool sound;
  } cases[] = {
      {"sound", good, true},
      {"without the placeable header", good.substr(22), true},
      {"with bytes after the end", good + std::string(10, '\x7f'), true},
      {"empty", "", false},
      {"not a metafile", test_files::Bmp(4, 4), false},
      {"of a type neither in memory nor on disk", With(good, 22, 3, 2), false},
      {"a header of 8 words", With(good, 24, 8, 2), false},
      {"of version 2", With(good, 26, 0x200, 2), false},
      {"over 32 MB", Huge(), false},
      {"its largest record over its size", With(good, kLargest, 41), false},
      {"the file shorter than its size", With(good, kSize, 50), false},
      {"a record of 2 words",
       With(With(good.substr(0, kFirstRecord), kSize, 14), kLargest, 3) + std::string("\2\0\0\0\3\0\0\0\0\0", 10),
       false},
      {"a record over the largest declared", With(good, kLargest, 6), false},
      {"its end record past its size", With(good, kSize, 39), false},
      {"an end record of 4 words", With(With(good, kEndRecord, 4), kSize, 41) + std::string(2, 0), false},
      {"no end record within its size", With(good, kSize, 37), false},
  };
  for (const Case& c : cases) {
    BytesFile file(c.bytes);
    EXPECT_EQ(MetafileRecordsAreSound(file), c.sound) << c.what;
  }
}

}  // namespace
