// The shell-link reader on random and mutated links, and link paths mapped to
// POSIX paths. Whole links are read on real trees: file_system_*_test.cpp.
#include "catalogue/shell_link.h"

#include <gtest/gtest.h>

#include <random>

#include "catalogue/wmf_header.h"
#include "shell_link_writer.h"

namespace {

std::optional<ShellLinkPaths> Parse(const std::string& bytes) {
  return ParseShellLink(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

bool IsUtf8(const std::string& text) try {
  std::filesystem::path(std::u8string(text.begin(), text.end())).u16string();
  return true;
} catch (const std::exception&) {
  return false;
}

// No read out of bounds (the sanitizer builds check that), and UTF-8 out.
TEST(ShellLinkTest, SurvivesRandomAndMutatedInput) {
  const std::string seed = WriteShellLink({"C:\\Photos\\", "a.jpg", "..\\\xe5\x86\x99.jpg"});
  ASSERT_EQ(Parse(seed)->local_path, "C:\\Photos\\a.jpg");
  EXPECT_EQ(Parse(seed)->relative_path, "..\\\xe5\x86\x99.jpg");
  std::mt19937 random(20240607);
  for (int round = 0; round < 20000; ++round) {
    std::string input = seed;
    if (round % 4 == 0) input.resize(random() % 300);
    for (std::size_t edits = random() % 8; edits > 0 && !input.empty(); --edits)
      input[random() % input.size()] = static_cast<char>(random() % 3 ? random() : 0xFF);  // 0xFF: large counts
    if (const auto link = Parse(input)) {
      ASSERT_TRUE(IsUtf8(link->local_path) && IsUtf8(link->relative_path));
      LinkPathToPosix(link->local_path, "/base/", [](char) { return std::string("/drive"); });
    }
    PlaceableWmfSize(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
  }
}

TEST(ShellLinkTest, LinkPathsWithoutALocalMeaningMapToNothing) {
  auto drives = [](char letter) { return std::string(letter == 'c' ? "/wine/drive_c/" : ""); };
  EXPECT_EQ(LinkPathToPosix("C:\\Photos\\", "/links/", drives), "/wine/drive_c/Photos/");
  EXPECT_EQ(LinkPathToPosix("..\\a.jpg", "/links/", drives), "/links/../a.jpg");
  for (const char* path : {"D:\\x.jpg", "C:relative.jpg", "\\\\server\\share\\a.jpg", "\\rooted.jpg", ""})
    EXPECT_EQ(LinkPathToPosix(path, "/links/", drives), "") << path;
}

}  // namespace
