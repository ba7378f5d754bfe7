// Damaged and random .reg files, generated from a fixed seed so every run
// (and every platform) checks the same inputs: reading never crashes or
// hangs, what is written reads back the same and is stable, and a save
// through the file store keeps every value the file already had.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "settings/reg_file_properties.h"

namespace {

using namespace std::string_literals;

using namespace reg_file_properties;

std::string Utf16File(const std::string& text) { return "\xFF\xFE" + Utf8ToUtf16Le(text); }

std::vector<std::string> Seeds() {
  std::string v5 =
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Glimmora]\r\n"
      "\"ImageDirectory\"=hex(7):43,00,3a,00,5c,00,50,00,69,00,63,00,74,00,75,00,72,00,\\\r\n"
      "  65,00,73,00,5c,00,00,00,44,00,3a,00,5c,00,00,00\r\n"
      "\"Interval\"=dword:00003a98\r\n"
      "; hand-written note\r\n"
      "\"Random\"=\"yes\"\r\n"
      "@=\"default\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
      "\"Bin\"=hex:01,02,ff\r\n\r\n";
  std::string v4 =
      "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Glimmora]\n"
      "\"ImageDirectory\"=hex(7):2f,68,6f,6d,65,2f,00,2f,74,6d,70,2f,00\n"
      "\"ShowFilename\"=dword:00000001\n\"Name\"=\"caf\xC3\xA9 \\\"x\\\"\"\n";
  return {Utf16File(v5), v5, v4, Utf16File(v4)};
}

class Mutator {
 public:
  explicit Mutator(std::uint32_t seed) : random_(seed) {}

  std::string Mutate(std::string bytes) {
    int steps = Pick(1, 6);
    for (int i = 0; i < steps; ++i) Step(bytes);
    return bytes;
  }

  std::string Noise() {
    static const std::string alphabet = "[]\"\\=@;,:-() \t\r\nhexdword0123456789abcdefHKEY_\xFF\xFE\xC3";
    std::string bytes;
    int length = Pick(0, 300);
    for (int i = 0; i < length; ++i) {
      bytes += Pick(0, 3) == 0 ? static_cast<char>(Pick(0, 255)) : alphabet[Pick(0, static_cast<int>(alphabet.size()) - 1)];
    }
    return bytes;
  }

  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

 private:
  void Step(std::string& b) {
    static const char* tokens[] = {"\"", "\\", "[", "]", "=", "hex(7):", "dword:", ",", "\r\n", "\n", "@", ";",
                                   "00", "ff", "\xFF\xFE", "\0", "\\\r\n  ", "hex:", "[HKEY_CURRENT_USER\\Software\\Glimmora]",
                                   "\"Interval\"=", "\xC3", "\x00\xD8"};
    int at = b.empty() ? 0 : Pick(0, static_cast<int>(b.size()));
    switch (Pick(0, 5)) {
      case 0:
        if (!b.empty()) b[Pick(0, static_cast<int>(b.size()) - 1)] ^= static_cast<char>(1 << Pick(0, 7));
        break;
      case 1:
        b.erase(at, Pick(1, 16));
        break;
      case 2: {
        const char* token = tokens[Pick(0, sizeof tokens / sizeof *tokens - 1)];
        b.insert(at, token[0] ? std::string(token) : "\0"s);
        break;
      }
      case 3:
        b.resize(at);
        break;
      case 4:
        b.insert(at, b.substr(Pick(0, static_cast<int>(b.size())), Pick(1, 40)));
        break;
      default:
        for (int n = Pick(1, 8); n > 0; --n) b.insert(b.begin() + at, static_cast<char>(Pick(0, 255)));
    }
  }

  std::mt19937 random_;
};

void CheckInput(const std::string& bytes) { ASSERT_EQ(CheckRegFileProperties(bytes), ""); }

TEST(RegFileRandom, MutatedFilesKeepEveryReadableValueStable) {
  Mutator mutator(20240607);
  std::vector<std::string> seeds = Seeds();
  for (int i = 0; i < 1500; ++i) {
    std::string input = mutator.Mutate(seeds[i % seeds.size()]);
    SCOPED_TRACE("case " + std::to_string(i));
    CheckInput(input);
    if (HasFatalFailure()) return;
  }
}

TEST(RegFileRandom, NoiseNeverBreaksTheReader) {
  Mutator mutator(7);
  for (int i = 0; i < 500; ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    CheckInput(mutator.Noise());
    if (HasFatalFailure()) return;
  }
}

TEST(RegFileRandom, EveryCutOfASavedFileGivesSavedValuesOrNone) {
  // Cut a file at every byte: no setting may come back shortened or altered.
  // (Binary data cut just after an item cannot be told from a shorter value;
  // the settings use none.)
  std::string file = Seeds()[0];
  std::vector<Entry> full = Entries(ParseRegFile(file));
  for (std::size_t cut = 0; cut <= file.size(); ++cut) {
    for (const Entry& entry : Entries(ParseRegFile(file.substr(0, cut)))) {
      if (std::get<2>(entry) == kRegBinary) continue;
      EXPECT_NE(std::find(full.begin(), full.end(), entry), full.end()) << "cut at " << cut << ": " << std::get<1>(entry);
    }
  }
}

}  // namespace
