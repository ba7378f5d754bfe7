// The shell-link reader: the paths of well-formed links in their variants,
// refusal of what is not a link, a stream of broken and random inputs, and
// the mapping of link paths to local POSIX paths.
#include "catalogue/shell_link.h"

#include <gtest/gtest.h>

#include <random>

#include "catalogue/wmf_header.h"
#include "shell_link_writer.h"

namespace {

std::optional<ShellLinkPaths> Parse(const std::vector<std::uint8_t>& bytes) {
  return ParseShellLink(bytes.data(), bytes.size());
}

bool IsValidUtf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + extra >= text.size() + (extra == 0 ? 1 : 0)) return false;
    for (int k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += 1 + extra;
  }
  return true;
}

TEST(ShellLinkTest, ReadsLocalAndRelativePathsInEveryVariant) {
  struct Case {
    LinkFields fields;
    std::string local, relative;
  };
  const Case cases[] = {
      {{.local_base = "C:\\Photos\\", .common_suffix = "a.jpg", .relative_path = "..\\Photos\\a.jpg"},
       "C:\\Photos\\a.jpg",
       "..\\Photos\\a.jpg"},
      {{.local_base = "Z:\\tmp\\pics", .name = "A description", .unicode_strings = false, .id_list = true},
       "Z:\\tmp\\pics",
       ""},
      {{.relative_path = "sub\\b.png", .name = "name"}, "", "sub\\b.png"},
      // ANSI fields are Windows-1252; the Unicode LinkInfo fields win when present.
      {{.local_base = "C:\\Caf\xe9\\", .unicode_strings = false}, "C:\\Caf\xc3\xa9\\", ""},
      {{.local_base = "C:\\Fotos \xe2\x98\x80\\",
        .common_suffix = "\xe5\x86\x99\xe7\x9c\x9f.jpg",
        .unicode_link_info = true},
       "C:\\Fotos \xe2\x98\x80\\\xe5\x86\x99\xe7\x9c\x9f.jpg",
       ""},
      {{.relative_path = "\xf0\x9f\x93\xb7.gif"}, "", "\xf0\x9f\x93\xb7.gif"},  // a surrogate pair
  };
  for (const Case& c : cases) {
    auto link = Parse(WriteShellLink(c.fields));
    ASSERT_TRUE(link) << c.local;
    EXPECT_EQ(link->local_path, c.local);
    EXPECT_EQ(link->relative_path, c.relative);
  }
}

TEST(ShellLinkTest, RefusesWhatIsNotALink) {
  std::vector<std::uint8_t> good = WriteShellLink({.local_base = "C:\\x.jpg"});
  EXPECT_FALSE(ParseShellLink(nullptr, 0));
  EXPECT_FALSE(Parse({}));
  EXPECT_FALSE(Parse(std::vector<std::uint8_t>(good.begin(), good.begin() + 75)));  // short header
  std::vector<std::uint8_t> wrong_class = good;
  wrong_class[4] ^= 1;
  EXPECT_FALSE(Parse(wrong_class));
  std::vector<std::uint8_t> wrong_size = good;
  wrong_size[0] = 0x4D;
  EXPECT_FALSE(Parse(wrong_size));
  const std::string text = "[InternetShortcut]\r\nURL=file:///C:/x.jpg\r\n";
  EXPECT_FALSE(Parse(std::vector<std::uint8_t>(text.begin(), text.end())));
}

// Random bytes and mutations of real links: the reader must never read out of
// bounds (the sanitizer builds check that) and must hand back UTF-8.
TEST(ShellLinkTest, SurvivesRandomAndMutatedInput) {
  std::mt19937 random(20240607);
  const std::vector<std::vector<std::uint8_t>> seeds = {
      WriteShellLink({.local_base = "C:\\Photos\\",
                      .common_suffix = "a.jpg",
                      .relative_path = "..\\a.jpg",
                      .name = "desc",
                      .unicode_link_info = true,
                      .id_list = true}),
      WriteShellLink({.local_base = "Z:\\tmp\\", .relative_path = "b.png", .unicode_strings = false}),
  };
  auto byte = [&] { return static_cast<std::uint8_t>(random() & 0xFF); };
  for (int round = 0; round < 20000; ++round) {
    std::vector<std::uint8_t> input;
    if (round % 4 == 0) {
      input.resize(random() % 300);
      for (auto& b : input) b = byte();
    } else {
      input = seeds[round % seeds.size()];
      const int edits = 1 + static_cast<int>(random() % 8);
      for (int e = 0; e < edits; ++e) {
        const std::size_t at = random() % input.size();
        if (random() % 3 == 0)
          input[at] = 0xFF;  // large counts and offsets
        else
          input[at] = byte();
      }
      if (random() % 4 == 0) input.resize(random() % (input.size() + 1));
    }
    auto link = Parse(input);
    if (!link) continue;
    ASSERT_TRUE(IsValidUtf8(link->local_path));
    ASSERT_TRUE(IsValidUtf8(link->relative_path));
    LinkPathToPosix(link->local_path, "/base/", [](char) { return std::string("/drive"); });
    LinkPathToPosix(link->relative_path, "/base/", [](char) { return std::string(); });
    PlaceableWmfSize(input.data(), input.size());
  }
}

TEST(ShellLinkTest, LinkPathsBecomeLocalPaths) {
  auto drives = [](char letter) -> std::string {
    if (letter == 'z') return "/";
    if (letter == 'c') return "/home/u/.wine/drive_c/";
    return "";
  };
  const struct {
    const char* path;
    const char* posix;
  } cases[] = {
      {"Z:\\tmp\\a.jpg", "/tmp/a.jpg"},
      {"z:\\", "/"},
      {"Z:", "/"},
      {"C:\\Photos\\", "/home/u/.wine/drive_c/Photos/"},
      {"D:\\x.jpg", ""},  // a drive nobody maps
      {"C:relative.jpg", ""},
      {"..\\Photos\\a.jpg", "/links/../Photos/a.jpg"},
      {"a.jpg", "/links/a.jpg"},
      {"\\\\server\\share\\a.jpg", ""},
      {"\\rooted.jpg", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(LinkPathToPosix(c.path, "/links/", drives), c.posix) << c.path;
}

TEST(WmfHeaderTest, PlaceableHeaderGivesTheBoundingBox) {
  std::vector<std::uint8_t> header = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0};
  for (int v : {-100, -50, 900, 450}) link_writer::U16(header, static_cast<std::uint16_t>(v));
  header.resize(kPlaceableWmfHeaderSize);
  auto size = PlaceableWmfSize(header.data(), header.size());
  ASSERT_TRUE(size);
  EXPECT_EQ(size->width, 1000);
  EXPECT_EQ(size->height, 500);
  EXPECT_FALSE(PlaceableWmfSize(header.data(), header.size() - 1));
  header[0] = 0;
  EXPECT_FALSE(PlaceableWmfSize(header.data(), header.size()));
}

}  // namespace
