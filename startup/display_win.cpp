// Win32 backend of the monitor list: EnumDisplayDevicesA for the adapters
// and their monitors, EnumDisplaySettingsExA for their modes, MonitorFromPoint
// and GetMonitorInfoA for work areas (ANSI forms).
#include <windows.h>

#include "startup/monitors.h"

namespace {

std::optional<DisplayMode> ModeOf(const char* device, DWORD which) {
  DEVMODEA dm{};
  dm.dmSize = sizeof dm;
  if (!EnumDisplaySettingsExA(device, which, &dm, 0)) return std::nullopt;
  return DisplayMode{dm.dmPosition.x, dm.dmPosition.y, dm.dmPelsWidth, dm.dmPelsHeight};
}

class Win32MonitorList final : public MonitorList {
 public:
  std::vector<DisplayAdapter> Adapters() override {
    std::vector<DisplayAdapter> adapters;
    DISPLAY_DEVICEA dd{};
    dd.cb = sizeof dd;  // 424 bytes
    for (DWORD index = 0; EnumDisplayDevicesA(nullptr, index, &dd, 0); ++index, dd = DISPLAY_DEVICEA{sizeof dd}) {
      DisplayAdapter& adapter = adapters.emplace_back();
      adapter.description.assign(dd.DeviceString, sizeof dd.DeviceString);
      adapter.attached = dd.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP;
      adapter.primary = dd.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE;
      adapter.mirroring = dd.StateFlags & DISPLAY_DEVICE_MIRRORING_DRIVER;
      if (adapter.mirroring) continue;
      const std::string device(dd.DeviceName, strnlen(dd.DeviceName, sizeof dd.DeviceName));
      DISPLAY_DEVICEA md{};
      md.cb = sizeof md;
      // The monitors up to the first active one: discovery takes that one.
      for (DWORD m = 0; EnumDisplayDevicesA(device.c_str(), m, &md, 0); ++m, md = DISPLAY_DEVICEA{sizeof md}) {
        adapter.monitors.push_back(
            {std::string(md.DeviceString, sizeof md.DeviceString), (md.StateFlags & DISPLAY_DEVICE_ACTIVE) != 0});
        if (adapter.monitors.back().active) break;
      }
      adapter.current_mode = ModeOf(device.c_str(), ENUM_CURRENT_SETTINGS);
      if (!adapter.current_mode) adapter.stored_mode = ModeOf(device.c_str(), ENUM_REGISTRY_SETTINGS);
    }
    return adapters;
  }

  std::optional<WindowRect> WorkAreaAt(std::int32_t x, std::int32_t y) override {
    HMONITOR monitor = MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONULL);
    MONITORINFO info{};
    info.cbSize = sizeof info;  // 40 bytes
    if (!monitor || !GetMonitorInfoA(monitor, &info)) return std::nullopt;
    return WindowRect{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
  }
};

}  // namespace

std::unique_ptr<MonitorList> CreatePlatformMonitorList() { return std::make_unique<Win32MonitorList>(); }
