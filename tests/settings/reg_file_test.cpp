// Reading and writing .reg export files: every form of value line, both
// versions and encodings, damaged lines, and output identical to `reg export`.
#include "settings/reg_file.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/reg_text.h"
#include "settings/registry.h"

namespace {

using namespace std::string_literals;

const char kV5[] = "Windows Registry Editor Version 5.00\r\n\r\n";
const char kV4[] = "REGEDIT4\r\n\r\n";
const char kKey[] = "[HKEY_CURRENT_USER\\Software\\Glimmora]\r\n";

std::string Utf16File(const std::string& text) { return "\xFF\xFE" + Utf8ToUtf16Le(text); }

// The values of the readable sections, in file order.
std::vector<RegFileValue> Values(const RegFileDocument& doc) {
  std::vector<RegFileValue> values;
  for (const RegFileSection& section : doc.sections) {
    if (!section.readable) continue;
    for (const RegFileEntry& entry : section.entries) {
      if (entry.kind == RegFileEntryKind::kValue) values.push_back(entry.value);
    }
  }
  return values;
}

TEST(RegText, ConvertsBetweenUtf8AndUtf16) {
  EXPECT_EQ(Utf8ToUtf16Le("A\xC3\xA9\xE2\x82\xAC"), "A\0\xE9\0\xAC\x20"s);
  EXPECT_EQ(Utf8ToUtf16Le("\xF0\x9F\x98\x80"), "\x3D\xD8\x00\xDE"s);  // U+1F600 as a surrogate pair
  EXPECT_EQ(Utf8ToUtf16Le("\xFF" "a\xC3"), "\xFD\xFF" "a\0\xFD\xFF"s);  // invalid bytes
  EXPECT_EQ(Utf8ToUtf16Le("\xC0\x80\xED\xA0\x80"), "\xFD\xFF\xFD\xFF\xFD\xFF\xFD\xFF\xFD\xFF"s);  // overlong, surrogate
  EXPECT_EQ(Utf16LeToUtf8("A\0\xE9\0\xAC\x20\x3D\xD8\x00\xDE"s), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16LeToUtf8("\x00\xD8" "A\0"s), "\xEF\xBF\xBD" "A");  // unpaired surrogate
  EXPECT_EQ(Utf16LeToUtf8("A\0B"s), "A");                           // odd last byte dropped
  EXPECT_TRUE(IsValidUtf8("\xEF\xBF\xBD ok"));
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));
  EXPECT_EQ(Utf16Length("a\xC3\xA9\xF0\x9F\x98\x80"), 4u);
  EXPECT_TRUE(SameRegName("ImageDirectory", "IMAGEdirectory"));
  EXPECT_TRUE(RegNameLess("ShowFilename", "ShowFileResolution"));
  EXPECT_TRUE(RegNameLess("Random", "recursive"));
  EXPECT_TRUE(RegNameLess("Show", "show2"));
}

TEST(RegFile, ReadsEveryFormOfValueLine) {
  struct Case {
    const char* header;
    std::string line;
    bool readable;
    std::string name = "";
    std::uint32_t type = 0;
    std::string data = "";
  };
  const Case cases[] = {
      {kV5, "\"A\"=\"text\"", true, "A", kRegSz, "text\0"s},
      {kV5, R"("A"="q\"uote\\d")", true, "A", kRegSz, "q\"uote\\d\0"s},
      {kV5, R"("A"="line\nbreak\r\0")", true, "A", kRegSz, "line\nbreak\r\0\0"s},
      {kV5, R"("A"="C:\Photos")", true, "A", kRegSz, "C:\\Photos\0"s},  // not an escape: kept
      {kV5, "@=\"default\"", true, "", kRegSz, "default\0"s},
      {kV5, "  \"A\" =  dword:0000ABcd  ", true, "A", kRegDword, "\xcd\xab\0\0"s},
      {kV5, "\"A\"=DWORD:1", true, "A", kRegDword, "\x01\0\0\0"s},
      {kV5, "\"A\"=hex:01,02,ff", true, "A", kRegBinary, "\x01\x02\xff"s},
      {kV5, "\"A\"=hex:", true, "A", kRegBinary, ""},
      {kV5, "\"A\"=HEX: 01 , 2 ,", true, "A", kRegBinary, "\x01\x02"s},
      {kV5, "\"A\"=hex(7):41,00,00,00,00,00", true, "A", kRegMultiSz, "A\0\0"s},
      {kV5, "\"A\"=hex(7):e9,00,00,00", true, "A", kRegMultiSz, "\xC3\xA9\0"s},
      {kV5, "\"A\"=hex(2):25,00,00,00", true, "A", kRegExpandSz, "%\0"s},
      {kV5, "\"A\"=hex(1):41,00", true, "A", kRegSz, "A"},
      {kV5, "\"A\"=hex(b):01,02,03,04,05,06,07,08", true, "A", 11, "\x01\x02\x03\x04\x05\x06\x07\x08"s},
      {kV5, "\"A\"=hex(ffffffff):", true, "A", 0xffffffff, ""},
      {kV5, "\"\xC3\x84\"=\"\xC3\xB6\"", true, "\xC3\x84", kRegSz, "\xC3\xB6\0"s},
      {kV4, "\"A\"=hex(7):41,00,42,00,00", true, "A", kRegMultiSz, "A\0B\0\0"s},
      {kV4, "\"A\"=hex(2):e9,00", true, "A", kRegExpandSz, "\xe9\0"s},
      {kV4, "\"A\"=\"x\"", true, "A", kRegSz, "x\0"s},
      {kV5, "\"A\"=dword:", false},
      {kV5, "\"A\"=dword:123456789", false},
      {kV5, "\"A\"=dword:12x", false},
      {kV5, "\"A\"=hex:1,,2", false},
      {kV5, "\"A\"=hex:123", false},
      {kV5, "\"A\"=hex:zz", false},
      {kV5, "\"A\"=hex(7:00", false},
      {kV5, "\"A\"=hex(123456789):", false},
      {kV5, "\"A\"=hex()", false},
      {kV5, "\"A\"=\"unterminated", false},
      {kV5, "\"A\"=\"x\" trailing", false},
      {kV5, "\"A\"=-", false},
      {kV5, "A=1", false},
      {kV5, "\"A\"", false},
      {kV5, "\"A\"=str:\"x\"", false},
  };
  for (const Case& c : cases) {
    RegFileDocument doc = ParseRegFile(c.header + std::string(kKey) + c.line + "\r\n");
    ASSERT_EQ(doc.sections.size(), 2u) << c.line;
    const RegFileSection& section = doc.sections[1];
    EXPECT_EQ(section.key, "HKEY_CURRENT_USER\\Software\\Glimmora");
    ASSERT_EQ(section.entries.size(), 1u) << c.line;
    const RegFileEntry& entry = section.entries[0];
    EXPECT_EQ(entry.kind == RegFileEntryKind::kValue, c.readable) << c.line;
    if (!c.readable) {
      EXPECT_EQ(entry.text, c.line);
      continue;
    }
    EXPECT_EQ(entry.value.name, c.name) << c.line;
    EXPECT_EQ(entry.value.type, c.type) << c.line;
    EXPECT_EQ(entry.value.data, c.data) << c.line;
  }
}

TEST(RegFile, EveryEncodingOfAFileReadsTheSame) {
  std::string text = std::string(kV5) + kKey + "\"Interval\"=dword:00003a98\r\n\"Name\"=\"\xC3\xA9t\xC3\xA9\"\r\n";
  std::vector<RegFileValue> expected = {{"Interval", kRegDword, "\x98\x3a\0\0"s}, {"Name", kRegSz, "\xC3\xA9t\xC3\xA9\0"s}};
  const std::string files[] = {Utf16File(text), Utf8ToUtf16Le(text), "\xEF\xBB\xBF" + text, text};
  for (const std::string& file : files) EXPECT_EQ(Values(ParseRegFile(file)), expected);
  // LF-only line ends and no version line read the same too.
  std::string bare = "[HKEY_CURRENT_USER\\Software\\Glimmora]\n\"Interval\"=dword:00003a98\n"
                     "\"Name\"=\"\xC3\xA9t\xC3\xA9\"\n";
  EXPECT_EQ(Values(ParseRegFile(bare)), expected);
}

TEST(RegFile, WrappedHexDataJoinsOnlyLinesThatCanContinueIt) {
  struct Case {
    std::string lines;
    std::vector<RegFileValue> values;
  };
  const Case cases[] = {
      {"\"A\"=hex:01,\\\r\n  02,\\  \r\n  03\r\n", {{"A", kRegBinary, "\x01\x02\x03"}}},
      // A cut value cannot swallow the key line or the value after it.
      {"\"A\"=hex:01,\\\r\n\"B\"=\"b\"\r\n", {{"B", kRegSz, "b\0"s}}},
      {"\"A\"=hex:01,\\\r\n[HKEY_CURRENT_USER\\X]\r\n\"B\"=\"b\"\r\n", {{"B", kRegSz, "b\0"s}}},
      {"\"A\"=hex:01,\\\r\n", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Values(ParseRegFile(kV5 + std::string(kKey) + c.lines)), c.values) << c.lines;
}

TEST(RegFile, ALastLineWithoutLineBreakCountsOnlyWhenComplete) {
  // A file cut short must not yield a shortened value; with the line break
  // (a complete file) the same line reads as usual.
  struct Case {
    const char* line;
    bool at_end;
    bool with_break;
  };
  const Case cases[] = {
      {"\"A\"=dword:00003a98", true, true},      {"\"A\"=dword:00003a", false, true},
      {"\"A\"=hex:01,02", true, true},           {"\"A\"=hex:01,0", false, true},
      {"\"A\"=hex:01,", false, true},            {"\"A\"=hex(7):41,00,00,00", true, true},
      {"\"A\"=hex(7):41,00,42,00", false, true}, {"\"A\"=hex(7):41,00,4", false, true},
      {"\"A\"=\"text\"", true, true},            {"\"A\"=\"tex", false, false},
      {"\"A\"=hex:", false, true},
  };
  for (const Case& c : cases) {
    std::string file = kV5 + std::string(kKey) + c.line;
    EXPECT_EQ(Values(ParseRegFile(file)).size(), c.at_end ? 1u : 0u) << c.line;
    EXPECT_EQ(Values(ParseRegFile(file + "\r\n")).size(), c.with_break ? 1u : 0u) << c.line;
  }
}

TEST(RegFile, DamagedLinesAreKeptAndDoNotLeakIntoOtherKeys) {
  std::string text = std::string(kV5) + "stray line before any key\r\n" + kKey +
                     "\"Good\"=dword:00000001\r\n"
                     "garbage here\r\n"
                     "; a comment\r\n"
                     "[HKEY_CURRENT_USER\\Software\\Broken\r\n"
                     "\"Orphan\"=dword:00000002\r\n"
                     "[-HKEY_CURRENT_USER\\Software\\Deleted]\r\n"
                     "\"AlsoOrphan\"=dword:00000003\r\n"
                     "[HKEY_CURRENT_USER\\Software\\Glimmora]\r\n"
                     "\"Later\"=\"x\"\r\n";
  RegFileDocument doc = ParseRegFile(text);
  std::vector<RegFileValue> expected = {{"Good", kRegDword, "\x01\0\0\0"s}, {"Later", kRegSz, "x\0"s}};
  EXPECT_EQ(Values(doc), expected);
  std::string written = WriteRegFile(doc);
  std::string expected_text = std::string(kV5) + "stray line before any key\r\n\r\n" + kKey +
                              "\"Good\"=dword:00000001\r\n"
                              "; garbage here\r\n"
                              "; a comment\r\n\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Broken\r\n"
                              "\"Orphan\"=dword:00000002\r\n\r\n"
                              "[-HKEY_CURRENT_USER\\Software\\Deleted]\r\n"
                              "\"AlsoOrphan\"=dword:00000003\r\n\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Glimmora]\r\n"
                              "\"Later\"=\"x\"\r\n\r\n";
  EXPECT_EQ(written, Utf16File(expected_text));
}

// Written by `wine reg export` for these values (the byte layout regedit uses).
const char kRegExportText[] =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Glimmora]\r\n"
    "\"Bin\"=hex:01,02,ff\r\n"
    "\"Exp\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,5c,00,78,00,00,00\r\n"
    "\"ImageDirectory\"=hex(7):43,00,3a,00,5c,00,50,00,69,00,63,00,74,00,75,00,72,00,\\\r\n"
    "  65,00,73,00,5c,00,00,00,44,00,3a,00,5c,00,4d,00,6f,00,72,00,65,00,20,00,50,\\\r\n"
    "  00,68,00,6f,00,74,00,6f,00,73,00,5c,00,00,00,00,00\r\n"
    "\"Interval\"=dword:00003a98\r\n"
    "\"Long\"=hex(7):43,00,3a,00,5c,00,53,00,6f,00,6d,00,65,00,20,00,76,00,65,00,72,\\\r\n"
    "  00,79,00,20,00,6c,00,6f,00,6e,00,67,00,20,00,66,00,6f,00,6c,00,64,00,65,00,\\\r\n"
    "  72,00,20,00,6e,00,61,00,6d,00,65,00,5c,00,77,00,69,00,74,00,68,00,20,00,6d,\\\r\n"
    "  00,6f,00,72,00,65,00,5c,00,00,00,44,00,3a,00,5c,00,41,00,6e,00,64,00,20,00,\\\r\n"
    "  61,00,6e,00,6f,00,74,00,68,00,65,00,72,00,20,00,71,00,75,00,69,00,74,00,65,\\\r\n"
    "  00,20,00,6c,00,6f,00,6e,00,67,00,20,00,6f,00,6e,00,65,00,5c,00,68,00,65,00,\\\r\n"
    "  72,00,65,00,5c,00,00,00,45,00,3a,00,5c,00,74,00,68,00,69,00,72,00,64,00,5c,\\\r\n"
    "  00,00,00,00,00\r\n"
    "\"Text\"=\"a \\\"quoted\\\" \\\\ back\"\r\n"
    "\r\n";

TEST(RegFile, WritesByteForByteWhatRegExportWrites) {
  RegFileDocument doc;
  RegFileSection section{"HKEY_CURRENT_USER\\Software\\Glimmora", true, "", {}};
  const RegFileValue values[] = {
      {"Bin", kRegBinary, "\x01\x02\xff"},
      {"Exp", kRegExpandSz, "%TEMP%\\x\0"s},
      {"ImageDirectory", kRegMultiSz, "C:\\Pictures\\\0D:\\More Photos\\\0\0"s},
      {"Interval", kRegDword, "\x98\x3a\0\0"s},
      {"Long", kRegMultiSz,
       "C:\\Some very long folder name\\with more\\\0D:\\And another quite long one\\here\\\0E:\\third\\\0\0"s},
      {"Text", kRegSz, "a \"quoted\" \\ back\0"s},
  };
  for (const RegFileValue& value : values) section.entries.push_back({RegFileEntryKind::kValue, value, ""});
  doc.sections.push_back(section);
  EXPECT_EQ(WriteRegFile(doc), Utf16File(kRegExportText));
  EXPECT_EQ(Values(ParseRegFile(Utf16File(kRegExportText))), Values(doc));
  EXPECT_EQ(WriteRegFile(ParseRegFile(Utf16File(kRegExportText))), Utf16File(kRegExportText));
}

TEST(RegFile, TextThatAQuotedLineCannotHoldIsWrittenAsHex) {
  struct Case {
    RegFileValue value;
    const char* line;
  };
  const Case cases[] = {
      {{"A", kRegSz, "x\0"s}, "\"A\"=\"x\""},
      {{"", kRegSz, "\0"s}, "@=\"\""},
      {{"A", kRegSz, ""}, "\"A\"=hex(1):"},
      {{"A", kRegSz, "x"}, "\"A\"=hex(1):78,00"},
      {{"A", kRegSz, "a\nb\0"s}, "\"A\"=hex(1):61,00,0a,00,62,00,00,00"},
      {{"A", kRegSz, "a\0b\0"s}, "\"A\"=hex(1):61,00,00,00,62,00,00,00"},
      {{"A", kRegDword, "\x01\x02\x03"}, "\"A\"=hex(4):01,02,03"},
      {{"A", kRegDword, ""}, "\"A\"=hex(4):"},
      {{"A", kRegMultiSz, ""}, "\"A\"=hex(7):"},
      {{"a\"b\\c", kRegNone, "\x05"}, R"("a\"b\\c"=hex(0):05)"},
      {{"line\nname", kRegBinary, ""}, R"("line\nname"=hex:)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatRegValue(c.value), c.line);
    RegFileDocument doc = ParseRegFile(std::string(kV5) + kKey + c.line + "\r\n");
    EXPECT_EQ(Values(doc), std::vector<RegFileValue>{c.value}) << c.line;
  }
}

}  // namespace
