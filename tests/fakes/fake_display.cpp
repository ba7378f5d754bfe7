#include "fakes/fake_display.h"

FakeDisplay::Adapter& FakeDisplay::AddAdapter(const std::string& description, std::uint32_t flags) {
  Adapter& a = adapters.emplace_back();
  a.device = {"\\\\.\\DISPLAY" + std::to_string(adapters.size()), description, flags};
  return a;
}

FakeDisplay::Adapter& FakeDisplay::AddMonitor(int x, int y, int width, int height, bool primary) {
  Adapter& a = AddAdapter("A", kDisplayAttachedOrActive | (primary ? kDisplayPrimary : 0u));
  a.monitors.push_back({a.device.device_name + "\\Monitor0", "M", kDisplayAttachedOrActive});
  a.current = a.registry = {x, y, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
  a.work = {x, y, x + width, y + height - 40};
  return a;
}

// Adapters when device is null, else the monitors of that adapter.
bool FakeDisplay::EnumDisplayDevicesA(const std::string* device, std::uint32_t index, DisplayDevice* out) {
  std::vector<DisplayDevice> list;
  for (const Adapter& a : adapters)
    if (!device) list.push_back(a.device);
    else if (a.device.device_name == *device) list = a.monitors;
  if (index >= list.size()) return false;
  *out = list[index];
  return true;
}

bool FakeDisplay::EnumDisplaySettingsExA(const std::string& device, std::int32_t mode, DisplayMode* out) {
  for (const Adapter& a : adapters) {
    if (a.device.device_name != device || (mode == kEnumCurrentSettings && !a.has_current_mode)) continue;
    *out = mode == kEnumCurrentSettings ? a.current : a.registry;
    return true;
  }
  return false;
}

std::uintptr_t FakeDisplay::MonitorFromPoint(std::int32_t x, std::int32_t y) {
  for (std::size_t i = 0; i < adapters.size(); ++i) {
    const DisplayMode& m = adapters[i].current;
    bool inside = static_cast<std::uint32_t>(x - m.position_x) < m.pels_width &&
                  static_cast<std::uint32_t>(y - m.position_y) < m.pels_height;
    if ((adapters[i].device.state_flags & kDisplayAttachedOrActive) && inside) return i + 1;
  }
  return 0;
}

bool FakeDisplay::GetMonitorWorkArea(std::uintptr_t monitor, WindowRect* work) {
  if (monitor == 0 || monitor > adapters.size()) return false;
  *work = adapters[monitor - 1].work;
  return true;
}
