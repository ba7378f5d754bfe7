// Monitor discovery over the real Linux display port (XRandR outputs).
#include <gtk/gtk.h>

#include <gtest/gtest.h>

#include "startup/expected_monitors.h"
#include "startup/monitors.h"

namespace {

TEST(LinuxDisplay, FindsTheMonitorsOfTheXScreen) {
  std::vector<WindowRect> expected;
  if (!ExpectedMonitors(&expected)) GTEST_SKIP() << "GLIMMORA_EXPECT_MONITORS not set";
  ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
  auto display = CreatePlatformDisplay();
  std::vector<MonitorRecord> list;
  ASSERT_EQ(EnumerateMonitors(*display, list), static_cast<int>(expected.size()));
  int primaries = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const MonitorRecord& m = list[i + 1];
    EXPECT_EQ(m.Left, expected[i].left) << m.Name;
    EXPECT_EQ(m.Top, expected[i].top) << m.Name;
    EXPECT_EQ(m.Right, expected[i].right) << m.Name;
    EXPECT_EQ(m.Bottom, expected[i].bottom) << m.Name;
    EXPECT_GE(m.WorkLeft, m.Left);
    EXPECT_LE(m.WorkRight, m.Right);
    EXPECT_EQ(m.Name.rfind(std::to_string(i + 1) + ". ", 0), 0u) << m.Name;
    primaries += m.IsPrimary ? 1 : 0;
    std::printf("monitor %zu: %s\n", i + 1, m.Name.c_str());
  }
  EXPECT_EQ(primaries, 1);
}

}  // namespace
