// LoadSettings and SaveSettings over the in-memory registry: the rules that
// turn each stored form of a value into a setting, and what a save writes.
#include "settings/settings_io.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "fakes/fake_ports.h"

namespace {

const char kKey[] = "Software\\Glimmora";

struct Settings : FakeProgram {
  Settings() {
    state.SettingsKeyPath = kKey;
    state.DefaultSettings = state.CurrentSettings = MakeDefaultSettings();
  }
};

std::string Dword(std::uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}
std::string Sz(const std::string& text) { return text + '\0'; }

TEST(LoadSettings, EachStoredFormLoadsByItsFieldsRule) {
  struct Case {
    const char* name;
    std::uint32_t type;
    std::string data, loaded;
  };
  const Case cases[] = {
      // The leading number, taken only inside the range (501 to 64999 here), then rounded half to even.
      {"Interval", kRegDword, Dword(500), "15000"}, {"Interval", kRegDword, Dword(65000), "15000"},
      {"Interval", kRegSz, Sz("20000 apples"), "20000"}, {"Interval", kRegSz, Sz(" &H1F40!"), "8000"},
      {"Interval", kRegSz, Sz("500.5"), "500"}, {"Interval", kRegSz, Sz("64999.6"), "65000"},
      {"Interval", kRegSz, Sz("apples"), "15000"}, {"UpscaleMode", kRegSz, Sz("3.4"), "1"},
      {"CheckImageSize", kRegDword, Dword(12), "12"}, {"CheckImageSize", kRegDword, Dword(13), "0"},
      {"CheckImageSize", kRegSz, Sz("1e1x"), "10"}, {"CheckImageSize", kRegSz, Sz("0x5"), "0"},
      {"CheckAspectRatio", kRegSz, Sz("1.5"), "2"}, {"CheckAspectRatio", kRegDword, Dword(3), "0"},
      // Booleans: "yes" exactly (spaces around it allowed) or a positive leading number.
      {"Recursive", kRegSz, Sz("  yes "), "1"}, {"Recursive", kRegSz, Sz("Yes"), "0"},
      {"Recursive", kRegSz, Sz("0.1 apples"), "1"}, {"Recursive", kRegDword, Dword(0xFFFFFFFF), "0"},
      {"Random", kRegExpandSz, Sz("1"), "0"}, {"DebugMode", kRegSz, Sz("yes"), "1"},
      // Colours: the whole text must be one number in the signed 32-bit range.
      {"ShowFilenameColorText", kRegSz, Sz(" &HFF "), "255"}, {"ShowFilenameColorText", kRegSz, Sz(""), "16777215"},
      {"ShowFilenameColorText", kRegSz, Sz("255abc"), "16777215"},
      {"ShowFilenameColorText", kRegSz, Sz("4294967296"), "16777215"},
      {"ShowFilenameColorBorder", kRegSz, Sz(" 12.5 "), "12"},
      {"ImageDirectory", kRegSz, Sz("C:\\Only\\"), "C:\\Only\\"},
      // ShowFileResolution is stored as 1 in every case: it needs a caption.
      {"ShowFilename", kRegDword, Dword(0), "0"}, {"ShowFilename", kRegSz, Sz("bottom"), "0"},
      {"ShowFilename", kRegDword, Dword(3), "2 with resolution"},
  };
  for (const Case& c : cases) {
    Settings p;
    p.fakes.registry.Put(kHkeyCurrentUser, kKey, "ShowFileResolution", kRegDword, Dword(1));
    p.fakes.registry.Put(kHkeyCurrentUser, kKey, c.name, c.type, c.data);
    LoadSettings(p.state);
    const SaverSettings& s = p.state.CurrentSettings;
    using std::to_string;
    std::map<std::string, std::string> loaded = {
        {"Interval", to_string(s.Interval)}, {"UpscaleMode", to_string(s.UpscaleMode)},
        {"CheckImageSize", to_string(s.CheckImageSize)}, {"CheckAspectRatio", to_string(s.CheckAspectRatio)},
        {"Recursive", to_string(s.Recursive)}, {"Random", to_string(s.Random)},
        {"DebugMode", to_string(p.state.DebugMode)}, {"ImageDirectory", s.ImageDirectory},
        {"ShowFilenameColorText", to_string(s.ShowFilenameColorText)},
        {"ShowFilenameColorBorder", to_string(s.ShowFilenameColorBorder)},
        {"ShowFilename", to_string(s.ShowFilename) + (s.ShowFileResolution ? " with resolution" : "")}};
    EXPECT_EQ(loaded[c.name], c.loaded) << c.name << " stored as type " << c.type << ": " << c.data;
  }
}

TEST(SaveSettings, ALoadGivesBackEveryFieldAndTheDebugFlagsAreNotWritten) {
  Settings p;
  p.state.DefaultSettings.Interval = 9999;  // no stored key yet: the state's defaults, debug flags off
  p.state.DebugMode = p.state.DebugSkipMonitor = true;
  LoadSettings(p.state);
  EXPECT_TRUE(p.state.CurrentSettings == p.state.DefaultSettings && !p.state.DebugMode && !p.state.DebugSkipMonitor);
  const SaverSettings saved = {.Interval = 60000, .ImageDirectory = "C:\\A\\\r\n\\\\server\\B\\", .ExcludeDirectory = "",
                               .Recursive = false, .Random = false, .UpscaleMode = 3, .ShowFilename = 1,
                               .ShowFilenameColorText = 255, .ShowFilenameColorBorder = -16777216,
                               .ShowFileResolution = true, .CheckImageSize = 12, .CheckAspectRatio = 2};
  p.state.CurrentSettings = saved;
  p.state.DebugMode = p.state.DebugSkipMonitor = true;
  SaveSettings(p.state);
  LoadSettings(p.state);
  EXPECT_EQ(p.state.CurrentSettings, saved);
  EXPECT_FALSE(p.state.DebugMode || p.state.DebugSkipMonitor);
}

}  // namespace
