// Win32 backend of the display port: the four user32 calls, ANSI forms.
#include <windows.h>

#include "startup/monitors.h"

namespace {

class Win32Display final : public DisplayPort {
 public:
  bool EnumDisplayDevicesA(const std::string* device, std::uint32_t index, DisplayDevice* out) override {
    DISPLAY_DEVICEA dd{};
    dd.cb = sizeof dd;  // 424 bytes
    if (!::EnumDisplayDevicesA(device ? device->c_str() : nullptr, index, &dd, 0)) return false;
    // The fixed-size fields are kept whole: NULs inside them are the
    // discovery's business (StripNulls).
    out->device_name.assign(dd.DeviceName, strnlen(dd.DeviceName, sizeof dd.DeviceName));
    out->device_string.assign(dd.DeviceString, sizeof dd.DeviceString);
    out->state_flags = dd.StateFlags;
    return true;
  }

  bool EnumDisplaySettingsExA(const std::string& device, std::int32_t mode, DisplayMode* out) override {
    DEVMODEA dm{};
    dm.dmSize = sizeof dm;
    if (!::EnumDisplaySettingsExA(device.c_str(), static_cast<DWORD>(mode), &dm, 0)) return false;
    out->position_x = dm.dmPosition.x;
    out->position_y = dm.dmPosition.y;
    out->pels_width = dm.dmPelsWidth;
    out->pels_height = dm.dmPelsHeight;
    return true;
  }

  std::uintptr_t MonitorFromPoint(std::int32_t x, std::int32_t y) override {
    return reinterpret_cast<std::uintptr_t>(::MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONULL));
  }

  bool GetMonitorWorkArea(std::uintptr_t monitor, WindowRect* work) override {
    MONITORINFO info{};
    info.cbSize = sizeof info;  // 40 bytes
    if (!GetMonitorInfoA(reinterpret_cast<HMONITOR>(monitor), &info)) return false;
    *work = WindowRect{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
    return true;
  }
};

}  // namespace

std::unique_ptr<DisplayPort> CreatePlatformDisplay() { return std::make_unique<Win32Display>(); }
