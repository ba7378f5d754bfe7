// LoadSettings and SaveSettings over the in-memory registry: the rules that
// turn each stored form of a value into a setting, and what a save writes.
#include "settings/settings_io.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "fakes/fake_ports.h"

namespace {

using namespace std::string_literals;
const char kKey[] = "Software\\Glimmora";

struct Settings : FakeProgram {
  Settings() {
    state.SettingsKeyPath = kKey;
    state.DefaultSettings = state.CurrentSettings = MakeDefaultSettings();
  }
};

// Every stored value reaches LoadSettings as text (the registry test pins
// what text each stored type gives), so the rules are shown on REG_SZ values.
TEST(LoadSettings, EachStoredTextLoadsByItsFieldsRule) {
  struct Case {
    const char* name;
    std::string text, loaded;
  };
  const Case cases[] = {
      // The leading number, taken only inside the range (501 to 64999 here), then rounded half to even.
      {"Interval", "500", "15000"}, {"Interval", "65000", "15000"}, {"Interval", "20000 apples", "20000"},
      {"Interval", " &H1F40!", "8000"}, {"Interval", "500.5", "500"}, {"Interval", "64999.6", "65000"},
      {"Interval", "apples", "15000"}, {"UpscaleMode", "3.4", "1"}, {"CheckImageSize", "12", "12"},
      {"CheckImageSize", "13", "0"}, {"CheckImageSize", "1e1x", "10"}, {"CheckImageSize", "0x5", "0"},
      {"CheckAspectRatio", "1.5", "2"}, {"CheckAspectRatio", "3", "0"},
      // Booleans: "yes" exactly (spaces around it allowed) or a positive leading number.
      {"Recursive", "  yes ", "1"}, {"Recursive", "Yes", "0"}, {"Recursive", "0.1 apples", "1"},
      {"Recursive", "-1", "0"}, {"Random", "", "0"}, {"DebugMode", "yes", "1"},
      // Colours: the whole text must be one number in the signed 32-bit range.
      {"ShowFilenameColorText", " &HFF ", "255"}, {"ShowFilenameColorText", "", "16777215"},
      {"ShowFilenameColorText", "255abc", "16777215"}, {"ShowFilenameColorText", "4294967296", "16777215"},
      {"ShowFilenameColorBorder", " 12.5 ", "12"},
      // ShowFileResolution is stored as 1 in every case: it needs a caption.
      {"ShowFilename", "0", "0"}, {"ShowFilename", "bottom", "0"}, {"ShowFilename", "3", "2 with resolution"},
  };
  for (const Case& c : cases) {
    Settings p;
    p.fakes.registry.Put(kHkeyCurrentUser, kKey, "ShowFileResolution", kRegSz, "1"s);
    p.fakes.registry.Put(kHkeyCurrentUser, kKey, c.name, kRegSz, c.text + '\0');
    LoadSettings(p.state);
    const SaverSettings& s = p.state.CurrentSettings;
    using std::to_string;
    std::map<std::string, std::string> loaded = {
        {"Interval", to_string(s.Interval)}, {"UpscaleMode", to_string(s.UpscaleMode)},
        {"CheckImageSize", to_string(s.CheckImageSize)}, {"CheckAspectRatio", to_string(s.CheckAspectRatio)},
        {"Recursive", to_string(s.Recursive)}, {"Random", to_string(s.Random)},
        {"DebugMode", to_string(p.state.DebugMode)},
        {"ShowFilenameColorText", to_string(s.ShowFilenameColorText)},
        {"ShowFilenameColorBorder", to_string(s.ShowFilenameColorBorder)},
        {"ShowFilename", to_string(s.ShowFilename) + (s.ShowFileResolution ? " with resolution" : "")}};
    EXPECT_EQ(loaded[c.name], c.loaded) << c.name << " stored as \"" << c.text << '"';
  }
}

TEST(SaveSettings, ALoadGivesBackEveryFieldAndTheDebugFlagsAreNotWritten) {
  Settings p;
  const SaverSettings saved = {.Interval = 60000, .ImageDirectory = "C:\\A\\\r\n\\\\server\\B\\", .ExcludeDirectory = "",
                               .Recursive = false, .Random = false, .UpscaleMode = 3, .ShowFilename = 1,
                               .ShowFilenameColorText = 255, .ShowFilenameColorBorder = -16777216,
                               .ShowFileResolution = true, .CheckImageSize = 12, .CheckAspectRatio = 2};
  p.state.CurrentSettings = saved;
  p.state.DebugMode = p.state.DebugSkipMonitor = true;
  SaveSettings(p.state);
  p.state.CurrentSettings = {};
  LoadSettings(p.state);
  EXPECT_EQ(p.state.CurrentSettings, saved);
  EXPECT_FALSE(p.state.DebugMode || p.state.DebugSkipMonitor);  // not stored, so off
}

}  // namespace
