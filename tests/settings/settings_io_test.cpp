// LoadSettings and SaveSettings over the in-memory registry: what each stored
// form of a value loads as, the defaults, and a save followed by a load.
#include "settings/settings_io.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_ports.h"

namespace {

using namespace std::string_literals;
const char kKey[] = "Software\\Glimmora";

struct Settings : FakeProgram {
  Settings() {
    state.SettingsKeyPath = kKey;
    state.DefaultSettings = MakeDefaultSettings();
    state.CurrentSettings = state.DefaultSettings;
  }
  void Put(const std::string& name, std::uint32_t type, const std::string& data) {
    fakes.registry.Put(kHkeyCurrentUser, kKey, name, type, data);
  }
  const FakeRegistry::Value* Stored(const std::string& name) const {
    return fakes.registry.Find(kHkeyCurrentUser, kKey, name);
  }
};

std::string Dword(std::uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}
std::string Sz(const std::string& text) { return text + '\0'; }

// The loaded field of that name, as text, so one table covers every type.
std::string Loaded(const ProgramState& state, const std::string& name) {
  const SaverSettings& s = state.CurrentSettings;
  auto flag = [](bool b) { return std::string(b ? "true" : "false"); };
  if (name == "ImageDirectory") return s.ImageDirectory;
  if (name == "ExcludeDirectory") return s.ExcludeDirectory;
  if (name == "Interval") return std::to_string(s.Interval);
  if (name == "Recursive") return flag(s.Recursive);
  if (name == "Random") return flag(s.Random);
  if (name == "UpscaleMode") return std::to_string(s.UpscaleMode);
  if (name == "ShowFilename") return std::to_string(s.ShowFilename);
  if (name == "ShowFileResolution") return flag(s.ShowFileResolution);
  if (name == "ShowFilenameColorText") return std::to_string(s.ShowFilenameColorText);
  if (name == "ShowFilenameColorBorder") return std::to_string(s.ShowFilenameColorBorder);
  if (name == "CheckImageSize") return std::to_string(s.CheckImageSize);
  if (name == "CheckAspectRatio") return std::to_string(s.CheckAspectRatio);
  if (name == "DebugMode") return flag(state.DebugMode);
  if (name == "DebugSkipMonitor") return flag(state.DebugSkipMonitor);
  return "?";
}

TEST(LoadSettings, WithoutAStoredKeyEverythingIsDefaultAndTheFlagsAreOff) {
  Settings p;
  p.state.DebugMode = true;
  p.state.DebugSkipMonitor = true;
  LoadSettings(p.state);
  EXPECT_EQ(p.state.CurrentSettings, MakeDefaultSettings());
  EXPECT_FALSE(p.state.DebugMode);
  EXPECT_FALSE(p.state.DebugSkipMonitor);
}

TEST(LoadSettings, EachStoredFormLoadsByItsFieldsRule) {
  struct Case {
    const char* name;
    std::uint32_t type;
    std::string data;
    std::string loaded;
  };
  const std::string list = "C:\\A\\\0D:\\B C\\\0"s;
  const Case cases[] = {
      {"Interval", kRegDword, Dword(500), "15000"},
      {"Interval", kRegDword, Dword(501), "501"},
      {"Interval", kRegDword, Dword(64999), "64999"},
      {"Interval", kRegDword, Dword(65000), "15000"},
      {"Interval", kRegDword, Dword(60000), "60000"},
      {"Interval", kRegSz, Sz("20000 apples"), "20000"},
      {"Interval", kRegSz, Sz("apples"), "15000"},
      {"Interval", kRegSz, Sz("500.5"), "500"},
      {"Interval", kRegSz, Sz("64999.6"), "65000"},
      {"Interval", kRegBinary, "\x10\x27", "15000"},
      {"Recursive", kRegDword, Dword(0), "false"},
      {"Recursive", kRegSz, Sz("yes"), "true"},
      {"Recursive", kRegSz, Sz("  yes "), "true"},
      {"Recursive", kRegSz, Sz("Yes"), "false"},
      {"Recursive", kRegDword, Dword(0xFFFFFFFF), "false"},
      {"Random", kRegDword, Dword(2), "true"},
      {"Random", kRegExpandSz, Sz("1"), "false"},
      {"UpscaleMode", kRegSz, Sz("2.6"), "3"},
      {"UpscaleMode", kRegSz, Sz("2.5"), "2"},
      {"UpscaleMode", kRegSz, Sz("3.4"), "1"},
      {"UpscaleMode", kRegSz, Sz("-0.4"), "1"},
      {"UpscaleMode", kRegDword, Dword(0xFFFFFFFF), "1"},
      {"UpscaleMode", kRegDword, Dword(4), "1"},
      {"UpscaleMode", kRegBinary, "\x02", "0"},
      {"ShowFilename", kRegSz, Sz("bottom"), "0"},
      {"ShowFilename", kRegDword, Dword(3), "2"},
      {"ShowFilenameColorText", kRegSz, Sz("&HFF"), "255"},
      {"ShowFilenameColorText", kRegSz, Sz("255abc"), "16777215"},
      {"ShowFilenameColorText", kRegSz, Sz(" 12.5 "), "12"},
      {"ShowFilenameColorText", kRegSz, Sz("4294967296"), "16777215"},
      {"ShowFilenameColorText", kRegDword, Dword(0xFFFFFFFF), "-1"},
      {"ShowFilenameColorText", kRegDword, "", "0"},  // no bytes reads as "&H0"
      {"ShowFilenameColorText", kRegBinary, "\xff", "16777215"},
      {"ShowFilenameColorBorder", kRegSz, Sz("1e3"), "1000"},
      {"ShowFilenameColorText", kRegSz, Sz(""), "16777215"},
      {"CheckImageSize", kRegDword, Dword(12), "12"},
      {"CheckImageSize", kRegDword, Dword(13), "0"},
      {"CheckImageSize", kRegSz, Sz("6.5"), "6"},
      {"CheckImageSize", kRegBinary, "", "0"},
      {"CheckAspectRatio", kRegDword, Dword(2), "2"},
      {"CheckAspectRatio", kRegDword, Dword(3), "0"},
      {"ImageDirectory", kRegMultiSz, list, "C:\\A\\\r\nD:\\B C\\"},
      {"ImageDirectory", kRegMultiSz, list + '\0', "C:\\A\\\r\nD:\\B C\\\r\n"},
      {"ImageDirectory", kRegMultiSz, std::string(1024, 'x'), std::string(1023, 'x')},
      {"ImageDirectory", kRegMultiSz, std::string(1025, 'x'), ""},
      {"ImageDirectory", kRegSz, Sz("C:\\Only\\"), "C:\\Only\\"},
      {"ImageDirectory", kRegBinary, "C:\\", ""},
      {"ExcludeDirectory", kRegMultiSz, list, "C:\\A\\\r\nD:\\B C\\"},
      {"DebugMode", kRegSz, Sz("yes"), "true"},
      {"DebugMode", kRegDword, Dword(0), "false"},
      {"DebugSkipMonitor", kRegDword, Dword(1), "true"},
  };
  for (const Case& c : cases) {
    Settings p;
    p.Put(c.name, c.type, c.data);
    LoadSettings(p.state);
    EXPECT_EQ(Loaded(p.state, c.name), c.loaded) << c.name << " stored as type " << c.type;
  }
}

TEST(LoadSettings, ResolutionNeedsACaption) {
  struct Case {
    std::uint32_t type;
    std::string show_filename;
    bool resolution;
  };
  const Case cases[] = {{kRegDword, Dword(0), false}, {kRegSz, Sz("bottom"), false}, {kRegDword, Dword(1), true},
                        {kRegDword, Dword(9), true}};  // out of range: the default 2
  for (const Case& c : cases) {
    Settings p;
    p.Put("ShowFilename", c.type, c.show_filename);
    p.Put("ShowFileResolution", kRegDword, Dword(1));
    LoadSettings(p.state);
    EXPECT_EQ(p.state.CurrentSettings.ShowFileResolution, c.resolution) << p.state.CurrentSettings.ShowFilename;
  }
}

TEST(LoadSettings, FailedReadsTakeTheDefaultCopyAndTouchOnlyTheirField) {
  Settings p;
  p.state.DefaultSettings.Interval = 9999;
  p.state.DefaultSettings.ImageDirectory = "C:\\Default\\";
  p.Put("Interval", kRegBinary, std::string(1025, '1'));  // too long to read
  p.Put("UpscaleMode", kRegDword, Dword(3));
  LoadSettings(p.state);
  EXPECT_EQ(p.state.CurrentSettings.Interval, 9999);
  EXPECT_EQ(p.state.CurrentSettings.ImageDirectory, "C:\\Default\\");
  EXPECT_EQ(p.state.CurrentSettings.UpscaleMode, 3);
  EXPECT_EQ(p.state.DefaultSettings.UpscaleMode, 1);  // the defaults are never changed
}

TEST(LoadSettings, ReadsInTheDocumentedOrder) {
  Settings p;
  LoadSettings(p.state);
  const std::vector<std::string> order = {
      "ImageDirectory",          "ExcludeDirectory",      "Interval",  "Recursive",        "Random",
      "UpscaleMode",             "ShowFilename",          "ShowFileResolution",
      "ShowFilenameColorBorder", "ShowFilenameColorText", "DebugMode", "DebugSkipMonitor", "CheckImageSize",
      "CheckAspectRatio"};
  EXPECT_TRUE(p.fakes.registry.queried.empty());  // no key: nothing to query
  p.Put("Interval", kRegDword, Dword(1000));
  LoadSettings(p.state);
  EXPECT_EQ(p.fakes.registry.queried, order);
}

TEST(SaveSettings, WritesEveryFieldInOrderWithItsEncoding) {
  Settings p;
  SaverSettings& s = p.state.CurrentSettings;
  s.ImageDirectory = "C:\\A\\\r\nD:\\B\\\r\n";
  s.ExcludeDirectory = "";
  s.Interval = 60000;
  s.Recursive = false;
  s.ShowFilenameColorText = -1;
  s.ShowFileResolution = true;
  p.state.DebugMode = true;
  SaveSettings(p.state);
  const std::vector<std::string> order = {
      "ImageDirectory", "ExcludeDirectory",      "Interval",                "Recursive",          "Random",
      "UpscaleMode",    "ShowFilename",          "ShowFilenameColorText",   "ShowFilenameColorBorder",
      "ShowFileResolution", "CheckImageSize", "CheckAspectRatio"};
  EXPECT_EQ(p.fakes.registry.written, order);
  struct Expect {
    const char* name;
    std::uint32_t type;
    std::string data;
  };
  const Expect expected[] = {
      {"ImageDirectory", kRegMultiSz, "C:\\A\\\0D:\\B\\\0"s},
      {"ExcludeDirectory", kRegMultiSz, ""},
      {"Interval", kRegDword, Dword(60000)},
      {"Recursive", kRegDword, Dword(0)},
      {"Random", kRegDword, Dword(1)},
      {"ShowFilenameColorText", kRegDword, Dword(0xFFFFFFFF)},
      {"ShowFileResolution", kRegDword, Dword(1)},
  };
  for (const Expect& e : expected) {
    ASSERT_NE(p.Stored(e.name), nullptr) << e.name;
    EXPECT_EQ(p.Stored(e.name)->type, e.type) << e.name;
    EXPECT_EQ(p.Stored(e.name)->data, e.data) << e.name;
  }
  EXPECT_EQ(p.Stored("DebugMode"), nullptr);
  EXPECT_EQ(p.Stored("DebugSkipMonitor"), nullptr);
}

TEST(SaveSettings, ALoadAfterASaveGivesBackEveryField) {
  SaverSettings a = MakeDefaultSettings();
  a.Interval = 60000;
  a.ImageDirectory = "C:\\Photos\\\r\n\\\\server\\share\\Pictures\\";
  a.ExcludeDirectory = "C:\\Photos\\Private\\";
  a.Recursive = false;
  a.Random = false;
  a.UpscaleMode = 3;
  a.ShowFilename = 1;
  a.ShowFilenameColorText = 255;
  a.ShowFilenameColorBorder = -16777216;
  a.ShowFileResolution = true;
  a.CheckImageSize = 12;
  a.CheckAspectRatio = 2;
  SaverSettings b = a;
  b.ImageDirectory += "\r\n";  // a trailing line break is not kept
  b.ShowFilename = 0;          // and without a caption no resolution
  b.Interval = 501;
  SaverSettings expected_b = b;
  expected_b.ImageDirectory = a.ImageDirectory;
  expected_b.ShowFileResolution = false;
  for (const auto& [saved, expected] : {std::pair{a, a}, std::pair{b, expected_b}}) {
    Settings p;
    p.state.CurrentSettings = saved;
    SaveSettings(p.state);
    p.state.CurrentSettings = MakeDefaultSettings();
    LoadSettings(p.state);
    EXPECT_EQ(p.state.CurrentSettings, expected);
  }
}

}  // namespace
