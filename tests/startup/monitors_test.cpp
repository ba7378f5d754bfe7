// Monitor discovery over a scripted display: numbering, attachment, names,
// modes, work areas and the 16-bit fields; monitor names from EDID.
#include "startup/monitors.h"

#include <gtest/gtest.h>

#include <functional>

#include "fakes/fake_display.h"
#include "startup/edid.h"

namespace {

using namespace std::string_literals;

std::string Join(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += (out.empty() ? "" : ",") + std::to_string(v);
  return out;
}

// The count, then each named record: "name l,t,r,b wxh work l,t,r,b" (+ " primary").
std::string Enumerate(FakeDisplay& d) {
  std::vector<MonitorRecord> list(3);
  list[2].Name = "stale";
  std::string out = std::to_string(EnumerateMonitors(d, list)) + ":";
  for (const MonitorRecord& m : list) {
    if (m.Name.empty()) continue;
    out += " [" + m.Name + " " + Join({m.Left, m.Top, m.Right, m.Bottom}) + " " + std::to_string(m.Width) + "x" +
           std::to_string(m.Height) + " work " + Join({m.WorkLeft, m.WorkTop, m.WorkRight, m.WorkBottom}) +
           (m.IsPrimary ? " primary]" : "]");
  }
  return out;
}

TEST(EnumerateMonitors, Table) {
  const struct {
    const char* what;
    std::function<void(FakeDisplay&)> script;
    std::string expected;
  } cases[] = {
      {"display numbers over non-mirroring adapters, records for attached ones",
       [](FakeDisplay& d) {
         d.AddMonitor(0, 0, 1920, 1080, true);
         d.AddAdapter("Idle", 0).monitors.push_back({"m", "Idle", 0});
         d.AddAdapter("Mirror", kDisplayAttachedOrActive | kDisplayMirroring).monitors.push_back({"m", "Mirror", 1});
         d.AddMonitor(-1280, 120, 1280, 1024);
       },
       "2: [1. M on A 0,0,1920,1080 1920x1080 work 0,0,1920,1040 primary]"
       " [3. M on A -1280,120,0,1144 1280x1024 work -1280,120,0,1104]"},
      {"the stored mode when there is no current one",
       [](FakeDisplay& d) {
         d.AddMonitor(0, 0, 800, 600, true).has_current_mode = false;
         d.adapters[0].registry = {10, 20, 1024, 768};
       },
       "1: [1. M on A 10,20,1034,788 1024x768 work 0,0,800,560 primary]"},
      {"the previous work area when no monitor holds the point",
       [](FakeDisplay& d) {
         d.AddMonitor(0, 0, 800, 600);
         d.AddMonitor(800, 0, 640, 480).has_current_mode = false;
         d.adapters[1].registry = {5000, 5000, 640, 480};
       },
       "2: [1. M on A 0,0,800,600 800x600 work 0,0,800,560] [2. M on A 5000,5000,5640,5480 640x480 work 0,0,800,560]"},
      {"fields keep the low 16 bits", [](FakeDisplay& d) { d.AddMonitor(32000, -40000, 1000, 70000); },
       "1: [1. M on A 32000,25536,-32536,30000 1000x4464 work 32000,25536,-32536,29960]"},
      {"no attached adapter: the list is left alone", [](FakeDisplay& d) { d.AddAdapter("Off", 0); }, "0: [stale 0,0,0,0 0x0 work 0,0,0,0]"},
  };
  for (const auto& c : cases) {
    FakeDisplay d;
    c.script(d);
    EXPECT_EQ(Enumerate(d), c.expected) << c.what;
  }
}

TEST(EnumerateMonitors, MonitorNames) {
  const std::pair<std::vector<DisplayDevice>, std::string> cases[] = {
      {{{"a", "Asleep", 0}, {"b", "Awake", 1}, {"c", "Later", 1}}, "Awake"},  // the first active one
      {{{"a", "First", 0}, {"b", "Last", 0}}, "Last"},                        // none active: the last one
      {{{"a", "Big\0 Screen\0\0"s, 1}}, "Big Screen"},
      {{{"a", "Zero", 0}, {"b", "\0\0"s, 1}}, "Zero"},  // empty: monitor 0 asked again
      {{{"a", "", 0}, {"b", "\0"s, 1}}, "Default Monitor"},
      {{}, "Default Monitor"},
  };
  for (const auto& [monitors, name] : cases) {
    FakeDisplay d;
    d.AddAdapter("GPU\0\0"s, kDisplayAttachedOrActive).monitors = monitors;
    std::vector<MonitorRecord> list;
    ASSERT_EQ(EnumerateMonitors(d, list), 1);
    EXPECT_EQ(list[1].Name, "1. " + name + " on GPU");
  }
}

// An EDID base block with a descriptor of the given tag and 13-byte text field in `slot`.
std::vector<unsigned char> Edid(const std::string& field, int slot = 1, unsigned char tag = 0xFC) {
  std::vector<unsigned char> e = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
  e.resize(128);
  e[54] = 0x40;  // slot 0: a detailed timing (non-zero pixel clock)
  e[55] = 0x1F;
  std::size_t at = 54 + 18 * static_cast<std::size_t>(slot);
  e[at + 3] = tag;
  for (std::size_t i = 0; i < field.size() && i < 13; ++i) e[at + 5 + i] = field[i];
  return e;
}

TEST(MonitorNameFromEdid, ReadsTheNameDescriptorOfAValidBlock) {
  const struct {
    std::string field;
    int slot;
    unsigned char tag;
    std::size_t size;
    const char* name;
  } cases[] = {
      {"DELL U2412M\n ", 1, 0xFC, 128, "DELL U2412M"}, {"ABCDEFGHIJKLM", 3, 0xFC, 128, "ABCDEFGHIJKLM"},
      {"LG   \n       ", 1, 0xFC, 128, "LG"},          {"A\x01" "B\xFF" "C\n", 1, 0xFC, 128, "ABC"},
      {"X", 1, 0xFF, 128, ""},  // a serial-number descriptor
      {"NAME\n", 1, 0xFC, 127, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(MonitorNameFromEdid(Edid(c.field, c.slot, c.tag).data(), c.size), c.name);
  std::vector<unsigned char> bad_header = Edid("NAME\n");
  bad_header[1] = 0;
  EXPECT_EQ(MonitorNameFromEdid(bad_header.data(), 128), "");
  EXPECT_EQ(MonitorNameFromEdid(nullptr, 128), "");
}

}  // namespace
