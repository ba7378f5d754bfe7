#pragma once
// The monitor discovery check for the platform display ports, against the
// rectangles an end-to-end script's display has, handed over as
// GLIMMORA_EXPECT_MONITORS="l,t,r,b;l,t,r,b". Without it the tests skip: the
// layout of an arbitrary display is unknown.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "startup/monitors.h"

inline void ExpectPlatformMonitors() {
  const char* expected = std::getenv("GLIMMORA_EXPECT_MONITORS");
  if (!expected || !*expected) GTEST_SKIP() << "GLIMMORA_EXPECT_MONITORS not set";
  std::vector<MonitorRecord> list;
  int count = EnumerateMonitors(*CreatePlatformMonitorList(), list), primaries = 0;
  std::string rects;
  for (int i = 1; i <= count; ++i) {
    const MonitorRecord& m = list[i];
    rects += (i > 1 ? ";" : "") + std::to_string(m.left) + "," + std::to_string(m.top) + "," +
             std::to_string(m.right) + "," + std::to_string(m.bottom);
    EXPECT_TRUE(m.work_left >= m.left && m.work_right <= m.right) << m.name;
    EXPECT_EQ(m.name.rfind(std::to_string(i) + ". ", 0), 0u) << m.name;
    primaries += m.is_primary ? 1 : 0;
    std::printf("monitor %d: %s\n", i, m.name.c_str());
  }
  EXPECT_EQ(rects, expected);
  EXPECT_EQ(primaries, 1);
}
