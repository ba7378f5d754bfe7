#include "fakes/fake_display.h"

FakeDisplay::Adapter& FakeDisplay::AddAdapter(const std::string& description, std::uint32_t flags) {
  Adapter a;
  a.device = {"\\\\.\\DISPLAY" + std::to_string(adapters.size() + 1), description, flags};
  adapters.push_back(a);
  return adapters.back();
}

FakeDisplay::Adapter& FakeDisplay::AddMonitor(int x, int y, int width, int height, bool primary) {
  Adapter& a = AddAdapter("Fake Adapter", kDisplayAttachedOrActive | (primary ? kDisplayPrimary : 0u));
  a.monitors.push_back({a.device.DeviceName + "\\Monitor0", "Fake Monitor", kDisplayAttachedOrActive});
  a.current = {x, y, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
  a.registry = a.current;
  a.work = {x, y, x + width, y + height - 40};
  return a;
}

bool FakeDisplay::EnumDisplayDevicesA(const std::string* device, std::uint32_t index, DisplayDevice* out) {
  calls.push_back(device ? "EnumDisplayDevicesA(" + *device + "," + std::to_string(index) + ")"
                         : "EnumDisplayDevicesA(null," + std::to_string(index) + ")");
  if (!device) {
    if (index >= adapters.size()) return false;
    *out = adapters[index].device;
    return true;
  }
  for (const Adapter& a : adapters) {
    if (a.device.DeviceName != *device) continue;
    if (index >= a.monitors.size()) return false;
    *out = a.monitors[index];
    return true;
  }
  return false;
}

bool FakeDisplay::EnumDisplaySettingsExA(const std::string& device, std::int32_t mode, DisplayMode* out) {
  calls.push_back("EnumDisplaySettingsExA(" + device + "," + std::to_string(mode) + ")");
  for (const Adapter& a : adapters) {
    if (a.device.DeviceName != device) continue;
    bool current = mode == kEnumCurrentSettings;
    if (!(current ? a.has_current_mode : a.has_registry_mode)) return false;
    *out = current ? a.current : a.registry;
    return true;
  }
  return false;
}

std::uintptr_t FakeDisplay::MonitorFromPoint(std::int32_t x, std::int32_t y) {
  calls.push_back("MonitorFromPoint(" + std::to_string(x) + "," + std::to_string(y) + ")");
  for (std::size_t i = 0; i < adapters.size(); ++i) {
    const DisplayMode& m = adapters[i].current;
    if ((adapters[i].device.StateFlags & kDisplayAttachedOrActive) && x >= m.PositionX &&
        x < m.PositionX + static_cast<std::int32_t>(m.PelsWidth) && y >= m.PositionY &&
        y < m.PositionY + static_cast<std::int32_t>(m.PelsHeight))
      return i + 1;
  }
  return 0;
}

bool FakeDisplay::GetMonitorWorkArea(std::uintptr_t monitor, WindowRect* work) {
  calls.push_back("GetMonitorInfoA(" + std::to_string(monitor) + ")");
  if (monitor == 0 || monitor > adapters.size()) return false;
  *work = adapters[monitor - 1].work;
  return true;
}
