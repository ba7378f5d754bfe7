// The shell-link reader on malformed links (under the sanitizers: no read out
// of bounds), and link paths mapped to POSIX paths. Whole links on real trees:
// file_system_*_test.cpp; random input: tests/fuzz/shell_link_fuzz.cpp.
#include "catalogue/shell_link.h"

#include <gtest/gtest.h>

#include "shell_link_writer.h"

namespace {

std::string Parse(const std::string& bytes) {  // "local|relative", "-" when not a link
  const auto link = ParseShellLink(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  return link ? link->local_path + "|" + link->relative_path : "-";
}

TEST(ShellLinkTest, MalformedLinksGiveWhatCanBeReadOrNothing) {
  const std::string good = WriteShellLink({"C:\\Photos\\", "\xe5\x86\x99.jpg", "..\\b.jpg"});
  auto with = [&](std::size_t at, int byte) { return good.substr(0, at) + char(byte) + good.substr(at + 1); };
  const struct { std::string bytes, paths; } cases[] = {
      {good, "C:\\Photos\\\xe5\x86\x99.jpg|..\\b.jpg"},
      {good.substr(0, 75), "-"},                                      // a short header
      {with(0, 0x4D), "-"},                                           // its size
      {with(4, 0x02), "-"},                                           // its class
      {"[InternetShortcut]\r\nURL=file:///C:/x.jpg\r\n", "-"},
      {good.substr(0, 100), "|"},                                     // LinkInfo cut short
      {with(88, 0x1C), "C:\\Photos\\\xc3\xa5\xe2\x80\xa0\xe2\x84\xa2.jpg|..\\b.jpg"},  // ANSI fields: Windows-1252
      {with(112, 0xF0), "C:\\Photos\\\xc3\xa5\xe2\x80\xa0\xe2\x84\xa2.jpg|..\\b.jpg"},  // Unicode base out of range
      {with(good.size() - 18, 0xFF), "C:\\Photos\\\xe5\x86\x99.jpg|"},  // relative path count past the end
  };
  for (const auto& c : cases) EXPECT_EQ(Parse(c.bytes), c.paths) << c.bytes.size();
}

TEST(ShellLinkTest, LinkPathsWithoutALocalMeaningMapToNothing) {
  auto drives = [](char letter) { return std::string(letter == 'c' ? "/wine/drive_c/" : ""); };
  EXPECT_EQ(LinkPathToPosix("C:\\Photos\\", "/links/", drives), "/wine/drive_c/Photos/");
  EXPECT_EQ(LinkPathToPosix("..\\a.jpg", "/links/", drives), "/links/../a.jpg");
  for (const char* path : {"D:\\x.jpg", "C:relative.jpg", "\\\\server\\share\\a.jpg", "\\rooted.jpg", ""})
    EXPECT_EQ(LinkPathToPosix(path, "/links/", drives), "") << path;
}

}  // namespace
