#pragma once
// Scripted display devices: adapters with their monitors and modes, answered
// as the four Windows calls would answer them.
#include <string>
#include <vector>

#include "startup/monitors.h"

class FakeDisplay final : public DisplayPort {
 public:
  struct Adapter {
    DisplayDevice device;
    std::vector<DisplayDevice> monitors;
    bool has_current_mode = true;
    DisplayMode current, registry;
    WindowRect work;
  };

  // One attached adapter ("A") with one active monitor ("M") at (x, y); its
  // work area leaves 40 pixels for a task bar.
  Adapter& AddMonitor(int x, int y, int width, int height, bool primary = false);
  // An adapter with the given flags and no monitor yet.
  Adapter& AddAdapter(const std::string& description, std::uint32_t flags);

  bool EnumDisplayDevicesA(const std::string* device, std::uint32_t index, DisplayDevice* out) override;
  bool EnumDisplaySettingsExA(const std::string& device, std::int32_t mode, DisplayMode* out) override;
  std::uintptr_t MonitorFromPoint(std::int32_t x, std::int32_t y) override;
  bool GetMonitorWorkArea(std::uintptr_t monitor, WindowRect* work) override;

  std::vector<Adapter> adapters;
};
