// LoadSettings and SaveSettings over the in-memory registry: the rules that
// turn each stored form of a value into a setting, and what a save writes.
#include "settings/settings_io.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "fakes/fake_registry.h"

namespace {

using namespace std::string_literals;
const char kKey[] = "Software\\Glimmora";

// Every stored value reaches LoadSettings as text (the registry test pins
// what text each stored type gives), so the rules are shown on REG_SZ values.
TEST(LoadSettings, EachStoredTextLoadsByItsFieldsRule) {
  struct Case { const char* name; std::string text, loaded; };
  const Case cases[] = {
      // The leading number, taken only inside the range (501 to 64999 here), then rounded half to even.
      {"Interval", "500", "15000"}, {"Interval", "65000", "15000"}, {"Interval", "20000 apples", "20000"},
      {"Interval", " &H1F40!", "8000"}, {"Interval", "500.5", "500"}, {"Interval", "64999.6", "65000"},
      {"Interval", "apples", "15000"}, {"UpscaleMode", "3.4", "1"}, {"CheckImageSize", "12", "12"},
      {"CheckImageSize", "13", "0"}, {"CheckImageSize", "1e1x", "10"}, {"CheckImageSize", "0x5", "0"},
      {"CheckAspectRatio", "1.5", "2"}, {"CheckAspectRatio", "3", "0"}, {"Transition", "3000", "3000"},
      {"Transition", "3001", "0"}, {"Transition", "-1", "0"}, {"Motion", "1", "1"}, {"Motion", "2", "0"},
      {"CaptionText", "1.6", "2"}, {"CaptionText", "3", "0"}, {"Background", "1", "1"}, {"Background", "2", "0"},
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
    FakeRegistry registry;
    registry.Put(kHkeyCurrentUser, kKey, "ShowFileResolution", kRegSz, "1"s);
    registry.Put(kHkeyCurrentUser, kKey, c.name, kRegSz, c.text + '\0');
    SaverSettings s = MakeDefaultSettings();
    DiagnosticSwitches switches;
    LoadSettings(registry, kKey, MakeDefaultSettings(), s, switches);
    auto n = [](auto value) { return std::to_string(static_cast<long long>(value)); };
    std::map<std::string, std::string> loaded = {
        {"Interval", n(s.interval_ms)}, {"UpscaleMode", n(s.scale_mode)}, {"CheckImageSize", n(s.size_filter)},
        {"CheckAspectRatio", n(s.aspect_filter)}, {"Recursive", n(s.include_subfolders)},
        {"Transition", n(s.transition_ms)}, {"Motion", n(s.motion)}, {"CaptionText", n(s.caption_text)},
        {"Background", n(s.backdrop)},
        {"Random", n(s.random_order)}, {"DebugMode", n(switches.status_overlay)},
        {"ShowFilenameColorText", n(s.caption_text_colour)}, {"ShowFilenameColorBorder", n(s.caption_border_colour)},
        {"ShowFilename", n(s.caption) + (s.caption_shows_size ? " with resolution" : "")}};
    EXPECT_EQ(loaded[c.name], c.loaded) << c.name << " stored as \"" << c.text << '"';
  }
}

// Lists as REG_MULTI_SZ, everything else as REG_DWORD; a load gives back every
// field, and the diagnostic switches are never written.
TEST(SaveSettings, StoresEachFieldWithItsTypeAndALoadGivesItBack) {
  FakeRegistry registry;
  const SaverSettings saved = {.interval_ms = 60000, .include_folders = "C:\\A\\\r\n\\\\server\\B\\",
                               .exclude_folders = "", .include_subfolders = false, .random_order = false,
                               .scale_mode = ScaleMode::Cover, .caption = CaptionPosition::Top,
                               .caption_text_colour = 255, .caption_border_colour = -16777216,
                               .caption_shows_size = true, .size_filter = SizeFilter::Min2048x1576,
                               .aspect_filter = AspectFilter::Wide, .transition_ms = 2500, .motion = true,
                               .caption_text = CaptionText::DateAndFolder, .backdrop = Backdrop::Soft};
  SaveSettings(registry, kKey, saved);
  for (const char* name : {"Interval", "Recursive", "Random", "UpscaleMode", "ShowFilename", "ShowFilenameColorText",
                           "ShowFilenameColorBorder", "ShowFileResolution", "CheckImageSize", "CheckAspectRatio",
                           "Transition", "Motion", "CaptionText", "Background"}) {
    const FakeRegistry::Value* value = registry.Find(kHkeyCurrentUser, kKey, name);
    ASSERT_TRUE(value) << name;
    EXPECT_EQ(std::pair(value->type, value->data.size()), std::pair(std::uint32_t{kRegDword}, std::size_t{4})) << name;
  }
  for (const char* name : {"ImageDirectory", "ExcludeDirectory"})
    EXPECT_EQ(registry.Find(kHkeyCurrentUser, kKey, name)->type, std::uint32_t{kRegMultiSz}) << name;
  for (const char* name : {"DebugMode", "DebugSkipMonitor"})
    EXPECT_EQ(registry.Find(kHkeyCurrentUser, kKey, name), nullptr) << name;
  SaverSettings loaded;
  DiagnosticSwitches switches{true, true};
  LoadSettings(registry, kKey, MakeDefaultSettings(), loaded, switches);
  EXPECT_EQ(loaded, saved);
  EXPECT_FALSE(switches.status_overlay || switches.keep_first_monitor);  // not stored, so off
}

}  // namespace
