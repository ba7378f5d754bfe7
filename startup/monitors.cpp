#include "startup/monitors.h"

#include <algorithm>

namespace {

// The fields keep the low 16 bits of what the system reports: positions and
// sizes beyond -32768..32767 wrap instead of failing.
std::int16_t Low16(std::int64_t value) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF)); }

// The adapter's first active monitor, or the last one reported when none is
// active; an empty record when the adapter reports no monitor at all.
DisplayDevice FindMonitor(DisplayPort& display, const DisplayDevice& adapter) {
  DisplayDevice monitor;
  DisplayDevice candidate;
  for (std::uint32_t index = 0; display.EnumDisplayDevicesA(&adapter.DeviceName, index, &candidate); ++index) {
    monitor = candidate;
    if (monitor.StateFlags & kDisplayAttachedOrActive) break;
  }
  return monitor;
}

}  // namespace

std::string StripNulls(const std::string& text) {
  std::string result = text;
  result.erase(std::remove(result.begin(), result.end(), '\0'), result.end());
  return result;
}

std::int16_t EnumerateMonitors(DisplayPort& display, std::vector<MonitorRecord>& monitors) {
  std::int16_t count = 0;
  int display_number = 1;
  WindowRect work;  // kept from the previous query when a lookup finds nothing
  DisplayDevice adapter;
  for (std::uint32_t adapter_index = 0; display.EnumDisplayDevicesA(nullptr, adapter_index, &adapter);
       ++adapter_index) {
    if (adapter.StateFlags & kDisplayMirroring) continue;

    DisplayDevice monitor = FindMonitor(display, adapter);
    std::string monitor_name = StripNulls(monitor.DeviceString);
    if (monitor_name.empty()) {
      DisplayDevice first;
      if (display.EnumDisplayDevicesA(&adapter.DeviceName, 0, &first)) monitor_name = StripNulls(first.DeviceString);
      if (monitor_name.empty()) monitor_name = "Default Monitor";
    }

    DisplayMode mode;
    if (!display.EnumDisplaySettingsExA(adapter.DeviceName, kEnumCurrentSettings, &mode))
      display.EnumDisplaySettingsExA(adapter.DeviceName, kEnumRegistrySettings, &mode);

    bool attached = (adapter.StateFlags & kDisplayAttachedOrActive) != 0;
    if (attached) {
      std::uintptr_t handle = display.MonitorFromPoint(mode.PositionX, mode.PositionY);
      if (handle != 0) display.GetMonitorWorkArea(handle, &work);

      // The list holds exactly indexes 1..count (plus the unused 0) afterwards,
      // whatever the caller passed in.
      ++count;
      monitors.resize(static_cast<std::size_t>(count) + 1);
      MonitorRecord& r = monitors[count];
      r.Name = std::to_string(display_number) + ". " + monitor_name + " on " + StripNulls(adapter.DeviceString);
      r.IsPrimary = (adapter.StateFlags & kDisplayPrimary) != 0;
      r.Width = Low16(mode.PelsWidth);
      r.Height = Low16(mode.PelsHeight);
      r.Left = Low16(mode.PositionX);
      r.Top = Low16(mode.PositionY);
      r.Right = Low16(r.Left + r.Width);
      r.Bottom = Low16(r.Top + r.Height);
      r.WorkLeft = Low16(work.left);
      r.WorkTop = Low16(work.top);
      r.WorkRight = Low16(work.right);
      r.WorkBottom = Low16(work.bottom);
    }
    ++display_number;
  }
  return count;
}
