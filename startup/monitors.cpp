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
  for (std::uint32_t index = 0; display.EnumDisplayDevicesA(&adapter.device_name, index, &candidate); ++index) {
    monitor = candidate;
    if (monitor.state_flags & kDisplayAttachedOrActive) break;
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
    if (adapter.state_flags & kDisplayMirroring) continue;

    DisplayDevice monitor = FindMonitor(display, adapter);
    std::string monitor_name = StripNulls(monitor.device_string);
    if (monitor_name.empty()) {
      DisplayDevice first;
      if (display.EnumDisplayDevicesA(&adapter.device_name, 0, &first)) monitor_name = StripNulls(first.device_string);
      if (monitor_name.empty()) monitor_name = "Default Monitor";
    }

    DisplayMode mode;
    if (!display.EnumDisplaySettingsExA(adapter.device_name, kEnumCurrentSettings, &mode))
      display.EnumDisplaySettingsExA(adapter.device_name, kEnumRegistrySettings, &mode);

    bool attached = (adapter.state_flags & kDisplayAttachedOrActive) != 0;
    if (attached) {
      std::uintptr_t handle = display.MonitorFromPoint(mode.position_x, mode.position_y);
      if (handle != 0) display.GetMonitorWorkArea(handle, &work);

      // The list holds exactly indexes 1..count (plus the unused 0) afterwards,
      // whatever the caller passed in.
      ++count;
      monitors.resize(static_cast<std::size_t>(count) + 1);
      MonitorRecord& r = monitors[count];
      r.name = std::to_string(display_number) + ". " + monitor_name + " on " + StripNulls(adapter.device_string);
      r.is_primary = (adapter.state_flags & kDisplayPrimary) != 0;
      r.width = Low16(mode.pels_width);
      r.height = Low16(mode.pels_height);
      r.left = Low16(mode.position_x);
      r.top = Low16(mode.position_y);
      r.right = Low16(r.left + r.width);
      r.bottom = Low16(r.top + r.height);
      r.work_left = Low16(work.left);
      r.work_top = Low16(work.top);
      r.work_right = Low16(work.right);
      r.work_bottom = Low16(work.bottom);
    }
    ++display_number;
  }
  return count;
}
