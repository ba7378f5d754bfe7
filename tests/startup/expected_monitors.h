#pragma once
// The monitor rectangles an end-to-end script's display has, handed to the
// platform display tests as GLIMMORA_EXPECT_MONITORS="l,t,r,b;l,t,r,b".
// Without it the tests skip: the layout of an arbitrary display is unknown.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "platform/window_system.h"

inline bool ExpectedMonitors(std::vector<WindowRect>* out) {
  const char* text = std::getenv("GLIMMORA_EXPECT_MONITORS");
  if (!text || !*text) return false;
  std::stringstream list(text);
  std::string item;
  while (std::getline(list, item, ';')) {
    WindowRect r;
    if (std::sscanf(item.c_str(), "%d,%d,%d,%d", &r.left, &r.top, &r.right, &r.bottom) == 4) out->push_back(r);
  }
  return true;
}
