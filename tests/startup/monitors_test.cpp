// Monitor discovery over a scripted display: numbering, attachment, names,
// modes, work areas and the 16-bit fields; monitor names from EDID.
#include "startup/monitors.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "fakes/fake_display.h"
#include "startup/edid.h"

namespace {

using namespace std::string_literals;

// The count, then each named record: "name l,t,r,b wxh work l,t,r,b" (+ " primary").
std::string Enumerate(FakeDisplay& d) {
  std::vector<MonitorRecord> list(3);
  list[2].name = "stale";
  std::string out = std::to_string(EnumerateMonitors(d, list)) + ":";
  for (const MonitorRecord& m : list) {
    char text[160];
    std::snprintf(text, sizeof text, " [%s %d,%d,%d,%d %dx%d work %d,%d,%d,%d%s]", m.name.c_str(), m.left, m.top,
                  m.right, m.bottom, m.width, m.height, m.work_left, m.work_top, m.work_right, m.work_bottom,
                  m.is_primary ? " primary" : "");
    if (!m.name.empty()) out += text;
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
         d.AddAdapter("Idle", false).monitors.push_back({"Idle", false});
         FakeDisplay::Adapter& mirror = d.AddAdapter("Mirror", true);
         mirror.mirroring = true;
         mirror.monitors.push_back({"Mirror", true});
         d.AddMonitor(-1280, 120, 1280, 1024);
       },
       "2: [1. M on A 0,0,1920,1080 1920x1080 work 0,0,1920,1040 primary]"
       " [3. M on A -1280,120,0,1144 1280x1024 work -1280,120,0,1104]"},
      {"the stored mode without a current one; no monitor there: the previous work area",
       [](FakeDisplay& d) {
         d.AddMonitor(0, 0, 800, 600);
         d.AddMonitor(800, 0, 640, 480).current_mode.reset();
         d.adapters[1].stored_mode = DisplayMode{5000, 5000, 640, 480};
       },
       "2: [1. M on A 0,0,800,600 800x600 work 0,0,800,560] [2. M on A 5000,5000,5640,5480 640x480 work 0,0,800,560]"},
      {"fields keep the low 16 bits", [](FakeDisplay& d) { d.AddMonitor(32000, -40000, 1000, 70000); },
       "1: [1. M on A 32000,25536,-32536,30000 1000x4464 work 32000,25536,-32536,29960]"},
      {"no attached adapter: the list is left alone", [](FakeDisplay& d) { d.AddAdapter("Off", false); },
       "0: [stale 0,0,0,0 0x0 work 0,0,0,0]"},
  };
  for (const auto& c : cases) {
    FakeDisplay d;
    c.script(d);
    EXPECT_EQ(Enumerate(d), c.expected) << c.what;
  }
}

TEST(EnumerateMonitors, MonitorNames) {
  const std::pair<std::vector<DisplayMonitor>, std::string> cases[] = {
      {{{"Asleep", false}, {"Awake", true}, {"Later", true}}, "Awake"},  // the first active one
      {{{"First", false}, {"Last", false}}, "Last"},                     // none active: the last one
      {{{"Big\0 Screen\0\0"s, true}}, "Big Screen"},
      {{{"Zero", false}, {"\0\0"s, true}}, "Zero"},  // empty: monitor 0's name instead
      {{{"", false}, {"\0"s, true}}, "Default Monitor"},
      {{}, "Default Monitor"},
  };
  for (const auto& [monitors, name] : cases) {
    FakeDisplay d;
    d.AddAdapter("GPU\0\0"s, true).monitors = monitors;
    EXPECT_EQ(Enumerate(d), "1: [1. " + name + " on GPU 0,0,0,0 0x0 work 0,0,0,0]");
  }
}

// A name descriptor in slot 3 of an EDID base block (slot 0 a detailed timing):
// the name ends at the line feed; control bytes and trailing blanks are dropped.
TEST(MonitorNameFromEdid, ReadsTheNameDescriptorOfAValidBlock) {
  std::vector<unsigned char> e = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
  e.resize(128);
  e[54] = 0x40;
  e[111] = 0xFC;
  std::string field = "LG\x01 27UL  \n";
  std::copy(field.begin(), field.end(), e.begin() + 113);
  EXPECT_EQ(MonitorNameFromEdid(e.data(), e.size()), "LG 27UL");
  EXPECT_EQ(MonitorNameFromEdid(e.data(), 127), "");  // a short block
  e[111] = 0xFF;                                      // a serial number instead
  EXPECT_EQ(MonitorNameFromEdid(e.data(), e.size()), "");
}

}  // namespace
