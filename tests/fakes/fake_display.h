#pragma once
// A scripted monitor list: adapters with their monitors, modes and work areas.
#include <string>
#include <vector>

#include "startup/monitors.h"

class FakeDisplay final : public MonitorList {
 public:
  struct Adapter : DisplayAdapter {
    WindowRect work;
  };

  // One attached adapter ("A") with one active monitor ("M") at (x, y); its
  // work area leaves 40 pixels for a task bar.
  Adapter& AddMonitor(int x, int y, int width, int height, bool primary = false);
  // An adapter with no monitor yet.
  Adapter& AddAdapter(const std::string& description, bool attached);

  std::vector<DisplayAdapter> Adapters() override { return {adapters.begin(), adapters.end()}; }
  std::optional<WindowRect> WorkAreaAt(std::int32_t x, std::int32_t y) override;

  std::vector<Adapter> adapters;
};
