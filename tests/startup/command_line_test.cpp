// XScreenSaver's hack flags and window ids, as the Linux entry point reads them.
#include "startup/command_line.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// "window <id>", "root", "-" (not a hack command line) or "error: <text>".
std::string Hack(const std::string& line, const char* saver_window = nullptr) {
  std::vector<std::string> args;
  std::istringstream words(line);
  for (std::string word; words >> word;) args.push_back(word);
  const HackCommand hack = ParseHackCommand(args, saver_window);
  if (!hack.error.empty()) return "error: " + hack.error;
  if (!hack.is_hack) return "-";
  return hack.window == 0 ? "root" : "window " + std::to_string(hack.window);
}

TEST(HackCommand, FlagsWindowsAndErrors) {
  const struct { const char* line; const char* saver_window; const char* result; } cases[] = {
      {"--root", nullptr, "root"},
      {"-root", "", "root"},  // set but empty: as if unset
      {"--root", "0x20277E", "window 2107262"},
      {"-root", "4194318", "window 4194318"},
      {"--root --window-id 0x20277E", "77", "window 2107262"},  // the settings' preview: the id wins
      {"-window-id 12", nullptr, "window 12"},
      {"--fps -visual 0x21 --root --install -geometry 640x480+0+0 --delay 5", nullptr, "root"},
      {"/S", "77", "-"},
      {"", nullptr, "-"},
      {"--fps", nullptr, "-"},  // no window named: the switches' refusal
      {"--root", "junk", "error: XSCREENSAVER_WINDOW is not a window id: \"junk\""},
      {"--root", "0x", "error: XSCREENSAVER_WINDOW is not a window id: \"0x\""},
      {"--window-id", nullptr, "error: --window-id needs a value"},
      {"--root --delay", nullptr, "error: --delay needs a value"},
      {"--window-id 0", nullptr, "error: not a window id: \"0\""},
      {"--root -x", nullptr, "error: unknown option -x"},
      {"/S --root", nullptr, "error: unknown option /S"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Hack(c.line, c.saver_window), c.result) << c.line << " / " << (c.saver_window ? c.saver_window : "unset");
}

TEST(HackCommand, WindowIdsAreDecimalOrHexadecimal) {
  EXPECT_EQ(ParseWindowId("0X40000E"), 0x40000e);
  EXPECT_EQ(ParseWindowId("4294967295"), 4294967295);
  for (const char* text : {"4294967296", "0x100000000", "-5", "+5", " 5", "5 ", "12ab", "0x12g", "0x", ""})
    EXPECT_EQ(ParseWindowId(text), 0) << "[" << text << "]";
}

}  // namespace
