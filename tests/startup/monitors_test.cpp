// Monitor discovery over a scripted display: numbering, attachment, names,
// modes, work areas and the 16-bit fields.
#include "startup/monitors.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_display.h"
#include "startup/edid.h"

namespace {

using namespace std::string_literals;

struct Rect16 {
  int left, top, right, bottom;
};

void ExpectRect(const MonitorRecord& m, Rect16 r) {
  EXPECT_EQ(m.Left, r.left);
  EXPECT_EQ(m.Top, r.top);
  EXPECT_EQ(m.Right, r.right);
  EXPECT_EQ(m.Bottom, r.bottom);
  EXPECT_EQ(m.Width, r.right - r.left);
  EXPECT_EQ(m.Height, r.bottom - r.top);
}

TEST(EnumerateMonitors, DisabledAdapterIsNumberedAndQueriedButGetsNoRecord) {
  FakeDisplay d;
  d.AddMonitor(0, 0, 800, 600, true);
  d.AddAdapter("Idle Adapter", 0).monitors.push_back({"m", "Idle Monitor", 0});
  d.AddMonitor(800, 0, 640, 480);
  std::vector<MonitorRecord> list;
  ASSERT_EQ(EnumerateMonitors(d, list), 2);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[1].Name, "1. Fake Monitor on Fake Adapter");
  EXPECT_EQ(list[2].Name, "3. Fake Monitor on Fake Adapter");
  EXPECT_TRUE(list[1].IsPrimary);
  EXPECT_FALSE(list[2].IsPrimary);
  ExpectRect(list[2], {800, 0, 1440, 480});
  // The disabled adapter's mode is read, but nobody looks for its work area.
  EXPECT_NE(std::find(d.calls.begin(), d.calls.end(), "EnumDisplaySettingsExA(\\\\.\\DISPLAY2,-1)"), d.calls.end());
  EXPECT_EQ(std::count_if(d.calls.begin(), d.calls.end(),
                          [](const std::string& c) { return c.rfind("MonitorFromPoint", 0) == 0; }),
            2);
}

TEST(EnumerateMonitors, MirroringDriverIsSkippedEntirely) {
  FakeDisplay d;
  d.AddMonitor(0, 0, 800, 600, true);
  d.AddAdapter("Mirror", kDisplayAttachedOrActive | kDisplayMirroring).monitors.push_back({"m", "Mirror", 1});
  d.AddMonitor(800, 0, 640, 480);
  std::vector<MonitorRecord> list;
  ASSERT_EQ(EnumerateMonitors(d, list), 2);
  EXPECT_EQ(list[1].Name.substr(0, 3), "1. ");
  EXPECT_EQ(list[2].Name.substr(0, 3), "2. ");
  for (const std::string& call : d.calls) EXPECT_EQ(call.find("DISPLAY2"), std::string::npos) << call;
}

TEST(EnumerateMonitors, MonitorLeftOfThePrimaryHasNegativeLeft) {
  FakeDisplay d;
  d.AddMonitor(0, 0, 1920, 1080, true);
  d.AddMonitor(-1280, 120, 1280, 1024);
  std::vector<MonitorRecord> list;
  ASSERT_EQ(EnumerateMonitors(d, list), 2);
  ExpectRect(list[2], {-1280, 120, 0, 1144});
  EXPECT_EQ(list[2].WorkLeft, -1280);
  EXPECT_EQ(list[2].WorkBottom, 1104);
}

// Which monitor name an adapter's monitor list gives.
struct NameCase {
  const char* what;
  std::vector<DisplayDevice> monitors;
  std::string expected;
};

class MonitorName : public ::testing::TestWithParam<NameCase> {};

TEST_P(MonitorName, Chosen) {
  FakeDisplay d;
  d.AddAdapter("GPU\0\0\0"s, kDisplayAttachedOrActive).monitors = GetParam().monitors;
  std::vector<MonitorRecord> list;
  ASSERT_EQ(EnumerateMonitors(d, list), 1);
  EXPECT_EQ(list[1].Name, "1. " + GetParam().expected + " on GPU");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MonitorName,
    ::testing::Values(
        NameCase{"first active", {{"a", "Asleep", 0}, {"b", "Awake", 1}, {"c", "Later", 1}}, "Awake"},
        NameCase{"none active: the last one", {{"a", "First", 0}, {"b", "Last", 0}}, "Last"},
        NameCase{"nuls stripped", {{"a", "Big\0 Screen\0\0"s, 1}}, "Big Screen"},
        NameCase{"empty: monitor 0 asked again", {{"a", "Zero", 0}, {"b", "\0\0"s, 1}}, "Zero"},
        NameCase{"empty everywhere", {{"a", "", 0}, {"b", "\0"s, 1}}, "Default Monitor"},
        NameCase{"no monitor at all", {}, "Default Monitor"}),
    [](const auto& info) {
      std::string name = info.param.what;
      std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
                      '_');
      return name;
    });

TEST(EnumerateMonitors, ModeFallsBackToTheStoredMode) {
  FakeDisplay d;
  d.AddMonitor(0, 0, 800, 600, true);
  d.adapters[0].has_current_mode = false;
  d.adapters[0].registry = {10, 20, 1024, 768};
  std::vector<MonitorRecord> list;
  ASSERT_EQ(EnumerateMonitors(d, list), 1);
  ExpectRect(list[1], {10, 20, 1034, 788});
  auto registry = std::find(d.calls.begin(), d.calls.end(), "EnumDisplaySettingsExA(\\\\.\\DISPLAY1,-2)");
  EXPECT_NE(registry, d.calls.end());
}

TEST(EnumerateMonitors, WorkAreaIsKeptFromThePreviousLookupWhenNoMonitorHoldsThePoint) {
  FakeDisplay d;
  d.AddMonitor(0, 0, 800, 600, true);
  d.AddMonitor(800, 0, 640, 480);
  // The second adapter reports a mode that MonitorFromPoint does not find.
  d.adapters[1].has_current_mode = false;
  d.adapters[1].registry = {5000, 5000, 640, 480};
  std::vector<MonitorRecord> list;
  ASSERT_EQ(EnumerateMonitors(d, list), 2);
  EXPECT_EQ(list[1].WorkBottom, 560);
  EXPECT_EQ(list[2].WorkRight, 800);
  EXPECT_EQ(list[2].WorkBottom, 560);
}

TEST(EnumerateMonitors, FieldsKeepTheLow16Bits) {
  FakeDisplay d;
  d.AddMonitor(32000, -40000, 1000, 70000);
  std::vector<MonitorRecord> list;
  ASSERT_EQ(EnumerateMonitors(d, list), 1);
  EXPECT_EQ(list[1].Left, 32000);
  EXPECT_EQ(list[1].Right, 33000 - 65536);
  EXPECT_EQ(list[1].Top, -40000 + 65536);
  EXPECT_EQ(list[1].Height, 70000 - 65536);
}

TEST(EnumerateMonitors, NoAttachedAdapterLeavesTheListUntouched) {
  FakeDisplay d;
  d.AddAdapter("Off", 0);
  std::vector<MonitorRecord> list(4);
  list[3].Name = "kept";
  EXPECT_EQ(EnumerateMonitors(d, list), 0);
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[3].Name, "kept");
}

TEST(EnumerateMonitors, ListEndsWithExactlyTheMonitorsFound) {
  FakeDisplay d;
  d.AddMonitor(0, 0, 800, 600, true);
  std::vector<MonitorRecord> list(6);
  list[5].Name = "stale";
  ASSERT_EQ(EnumerateMonitors(d, list), 1);
  EXPECT_EQ(list.size(), 2u);
}

TEST(StripNulls, RemovesEveryNulAndNothingElse) {
  EXPECT_EQ(StripNulls(""), "");
  EXPECT_EQ(StripNulls("\0"s), "");
  EXPECT_EQ(StripNulls("\0\0a\0 b \0"s), "a b ");
  EXPECT_EQ(StripNulls("  Dell U2412M\0\0\0"s), "  Dell U2412M");
}

// An EDID base block with the given 13-byte name field in descriptor slot.
std::vector<unsigned char> Edid(const std::string& name_field, int slot = 1) {
  std::vector<unsigned char> e(128, 0);
  const unsigned char header[8] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
  std::copy(header, header + 8, e.begin());
  e[54] = 0x40;  // slot 0: a detailed timing (non-zero pixel clock)
  e[55] = 0x1F;
  std::size_t at = 54 + 18 * static_cast<std::size_t>(slot);
  e[at + 3] = 0xFC;
  for (std::size_t i = 0; i < name_field.size() && i < 13; ++i) e[at + 5 + i] = name_field[i];
  return e;
}

TEST(MonitorNameFromEdid, ReadsTheNameDescriptor) {
  auto dell = Edid("DELL U2412M\n ");
  EXPECT_EQ(MonitorNameFromEdid(dell.data(), dell.size()), "DELL U2412M");
  auto full = Edid("ABCDEFGHIJKLM", 3);
  EXPECT_EQ(MonitorNameFromEdid(full.data(), full.size()), "ABCDEFGHIJKLM");
  auto padded = Edid("LG   \n       ");
  EXPECT_EQ(MonitorNameFromEdid(padded.data(), padded.size()), "LG");
  auto control = Edid("A\x01" "B\xFF" "C\n");
  EXPECT_EQ(MonitorNameFromEdid(control.data(), control.size()), "ABC");
}

TEST(MonitorNameFromEdid, RejectsWhatIsNotANamedEdid) {
  auto none = Edid("X");
  none[54 + 18 + 3] = 0xFF;  // a serial-number descriptor instead
  EXPECT_EQ(MonitorNameFromEdid(none.data(), none.size()), "");
  auto bad_header = Edid("NAME\n");
  bad_header[1] = 0;
  EXPECT_EQ(MonitorNameFromEdid(bad_header.data(), bad_header.size()), "");
  auto whole = Edid("NAME\n");
  EXPECT_EQ(MonitorNameFromEdid(whole.data(), 127), "");
  EXPECT_EQ(MonitorNameFromEdid(nullptr, 128), "");
}

}  // namespace
