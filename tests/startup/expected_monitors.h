#pragma once
// The monitor discovery check for the platform display ports, against the
// rectangles an end-to-end script's display has, handed over as
// GLIMMORA_EXPECT_MONITORS="l,t,r,b;l,t,r,b". Without it the tests skip: the
// layout of an arbitrary display is unknown.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "startup/monitors.h"

inline void ExpectPlatformMonitors() {
  const char* text = std::getenv("GLIMMORA_EXPECT_MONITORS");
  if (!text || !*text) GTEST_SKIP() << "GLIMMORA_EXPECT_MONITORS not set";
  std::stringstream expected(text);
  std::vector<MonitorRecord> list;
  int count = EnumerateMonitors(*CreatePlatformDisplay(), list), primaries = 0, i = 0;
  for (std::string item; std::getline(expected, item, ';'); ++i) {
    ASSERT_LT(i, count);
    const MonitorRecord& m = list[i + 1];
    char rect[64];
    std::snprintf(rect, sizeof rect, "%d,%d,%d,%d", m.Left, m.Top, m.Right, m.Bottom);
    EXPECT_EQ(rect, item) << m.Name;
    EXPECT_TRUE(m.WorkLeft >= m.Left && m.WorkRight <= m.Right) << m.Name;
    EXPECT_EQ(m.Name.rfind(std::to_string(i + 1) + ". ", 0), 0u) << m.Name;
    primaries += m.IsPrimary ? 1 : 0;
    std::printf("monitor %d: %s\n", i + 1, m.Name.c_str());
  }
  EXPECT_EQ(count, i);
  EXPECT_EQ(primaries, 1);
}
