// Reading and writing .reg export files: the forms of a value line in both
// versions and encodings, and damaged or cut files, which must keep the
// properties of tests/settings/reg_file_properties.h.
#include "settings/reg_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "settings/reg_file_properties.h"
#include "settings/settings_io.h"

namespace {

using namespace std::string_literals;
using namespace reg_file_properties;

const char kV5[] = "Windows Registry Editor Version 5.00\r\n\r\n";
const char kKey[] = "[HKEY_CURRENT_USER\\Software\\Glimmora]\r\n";

std::string Utf16File(const std::string& text) { return "\xFF\xFE" + Utf8ToUtf16Le(text); }

// The values read in the file's first key.
std::vector<RegFileValue> Values(const std::string& file) {
  std::vector<RegFileValue> values;
  const RegFileDocument doc = ParseRegFile(file);
  for (const RegFileEntry& e : doc.sections.at(1).entries)
    if (e.kind == RegFileEntryKind::kValue) values.push_back(e.value);
  return values;
}

TEST(RegFile, ReadsTheFormsOfAValueLine) {
  const char* kV4 = "REGEDIT4\r\n\r\n";
  // values: none when the line is kept unread
  struct Case { const char* header; std::string line; std::vector<RegFileValue> values; };
  const Case cases[] = {
      {kV5, R"("A"="q\"uote\\d")", {{"A", kRegSz, "q\"uote\\d\0"s}}},
      {kV5, R"("A"="C:\Photos")", {{"A", kRegSz, "C:\\Photos\0"s}}},  // not an escape: kept
      {kV5, "@=\"\xF0\x9F\x98\x80\"", {{"", kRegSz, "\xF0\x9F\x98\x80\0"s}}},
      {kV5, "  \"A\" =  DWORD:0000ABcd  ", {{"A", kRegDword, "\xcd\xab\0\0"s}}},
      {kV5, "\"A\"=HEX: 01 , 2 ,", {{"A", kRegBinary, "\x01\x02"s}}},
      {kV5, "\"A\"=hex(7):e9,00,00,00,00,00", {{"A", kRegMultiSz, "\xC3\xA9\0\0"s}}},
      {kV5, "\"A\"=hex(1):61,00,0a,00,00,00", {{"A", kRegSz, "a\n\0"s}}},
      // Lone U+DC80..U+DCFF are bytes saved from a name that was not UTF-8; other lone surrogates are lost.
      {kV5, "\"A\"=hex(1):80,dc,ff,dc,7f,dc,00,d8,00,00", {{"A", kRegSz, "\x80\xFF\xEF\xBF\xBD\xEF\xBF\xBD\0"s}}},
      {kV4, "\"A\"=hex(7):41,42,00,00", {{"A", kRegMultiSz, "AB\0\0"s}}},
      {kV4, "\"A\"=hex(2):e9,00", {{"A", kRegExpandSz, "\xe9\0"s}}},
      {"\xEF\xBB\xBF", "\"A\"=dword:00000001", {{"A", kRegDword, "\x01\0\0\0"s}}},  // UTF-8, no version line
      {kV5, "\"A\"=dword:123456789", {}},
      {kV5, "\"A\"=hex:1,,2", {}},
      {kV5, "\"A\"=\"x\" trailing", {}},
      {kV5, "\"A\"=hex:01,\\\r\n\"B\"=\"b\"", {{"B", kRegSz, "b\0"s}}},  // a cut value cannot swallow the next
  };
  for (const Case& c : cases) {
    std::string file = c.header + std::string(kKey) + c.line + "\r\n";
    for (const std::string& f : {file, c.header == kV5 ? Utf16File(file) : file})
      EXPECT_EQ(Values(f), c.values) << c.line;
    EXPECT_TRUE(!c.values.empty() || ParseRegFile(file).sections.at(1).entries.at(0).text == "; " + c.line + "\r\n")
        << c.line;
  }
}

// Every cut of a file, and every place for a stray character: the
// properties hold, and no value of a cut file comes back shortened (binary
// data cut after an item aside: it reads as a shorter value).
TEST(RegFile, CutAndDamagedFilesKeepTheProperties) {
  const std::string v5 = Utf16File(
      std::string(kV5) + kKey +
      "\"ImageDirectory\"=hex(7):43,00,3a,00,5c,00,50,00,69,00,63,00,74,00,75,00,72,00,\\\r\n"
      "  65,00,73,00,5c,00,00,00,44,00,3a,00,5c,00,00,00\r\n\"Interval\"=dword:00003a98\r\n; note\r\n"
      "\"Text\"=hex(1):61,00,0a,00,00,00\r\n@=\"\\\\ \\\"\xC3\xA9\\\"\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"Bin\"=hex:01,02,ff\r\n");
  const std::string v4 = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Glimmora]\n\"ImageDirectory\"=hex(7):2f,61,00,"
                         "2f,62,00,00\n\"ShowFilename\"=dword:00000001\n\"Name\"=\"caf\xC3\xA9 \\\"x\\\"\"\n";
  for (const std::string& file : {v5, v4}) {
    for (std::size_t at = 0; at <= file.size(); ++at) {
      ASSERT_EQ(CheckRegFileProperties(file.substr(0, at)), "") << "cut at " << at;
      for (const char* stray : {"\"", "\\", "[", ",", "\n", "\xFF"})
        ASSERT_EQ(CheckRegFileProperties(file.substr(0, at) + stray + file.substr(at)), "") << stray << " at " << at;
    }
  }
  const std::vector<Entry> full = Entries(ParseRegFile(v5));
  for (std::size_t at = 0; at <= v5.size(); ++at) {
    for (const Entry& e : Entries(ParseRegFile(v5.substr(0, at))))
      EXPECT_TRUE(std::get<2>(e) == kRegBinary || std::count(full.begin(), full.end(), e)) << std::get<1>(e) << at;
  }
}

// Lines with nothing to read cost no object each, however many there are:
// lines kept in a row are one entry, key lines in a row that add no key none.
TEST(RegFile, LinesWithNothingToReadAreKeptTogether) {
  std::string file = kV5;
  for (const char* lines : {"junk\r\n", "[-HKEY_CURRENT_USER\\Old]\r\nx\r\n[\r\n", kKey, "x\r\n; c\r\n"})
    for (int i = 0; i < 50000; ++i) file += lines;
  const RegFileDocument doc = ParseRegFile(file + "\"A\"=\"a\"\r\n");
  ASSERT_EQ(doc.sections.size(), 2u);
  EXPECT_EQ(doc.sections[0].entries.size(), 1u);
  EXPECT_EQ(doc.sections[1].entries.size(), 2u);
}

// The store parses its file once while the file keeps its stamp, its own
// saves included, and again as soon as the file changes.
TEST(RegFile, TheStoreReadsItsFileAgainOnlyWhenItChanged) {
  auto* file = new MemoryFile(std::string(kV5) + kKey + "\"Interval\"=dword:00002710\r\n");
  auto store = CreateFileRegistry({"user.reg", ""}, std::unique_ptr<RegFileIo>(file));
  SaverSettings settings;
  DiagnosticSwitches switches;
  LoadSettings(*store, "Software\\Glimmora", settings, settings, switches);
  SaveSettings(*store, "Software\\Glimmora", settings);
  LoadSettings(*store, "Software\\Glimmora", settings, settings, switches);
  EXPECT_EQ(settings.interval_ms, 10000);
  EXPECT_EQ(file->reads, 1);
  file->bytes = std::string(kV5) + kKey + "\"Interval\"=dword:00004e20\r\n", ++file->version;
  LoadSettings(*store, "Software\\Glimmora", settings, settings, switches);
  EXPECT_EQ(settings.interval_ms, 20000);
  EXPECT_EQ(file->reads, 2);
}

// A folder whose name is not valid UTF-8 (Linux allows any bytes) is saved
// and read back exactly, in a file that stays UTF-16 for the registry editor.
TEST(RegFile, FolderNamesInAnyBytesReadBackExactly) {
  const std::string folders[] = {
      "/photos/caf\xE9/",           // Latin-1
      "/photos/\xC3/\xFF\xFE",      // a cut sequence, bytes never in UTF-8
      "/photos/\xED\xA0\x80/",      // an encoded surrogate
      "/photos/\xF0\x9F\x98\x80/",  // valid, beyond the BMP
  };
  for (const std::string& folder : folders) {
    auto* file = new MemoryFile("");
    auto store = CreateFileRegistry({"user.reg", ""}, std::unique_ptr<RegFileIo>(file));
    ASSERT_TRUE(SetRegistryValue(*store, kHkeyCurrentUser, "Software\\Glimmora", kRegSz, "ImageDirectory", folder));
    EXPECT_TRUE(file->bytes.starts_with("\xFF\xFE"));
    auto reopened = CreateFileRegistry({"user.reg", ""}, std::make_unique<MemoryFile>(file->bytes));
    std::string text;
    EXPECT_TRUE(GetRegistryValue(*reopened, kHkeyCurrentUser, "Software\\Glimmora", "ImageDirectory", text));
    EXPECT_EQ(text, folder);
  }
}

}  // namespace
