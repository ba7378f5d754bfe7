#pragma once
// Monitor discovery: the monitors attached to the desktop, in adapter order,
// with their rectangles in virtual-desktop coordinates. The algorithm is
// portable; the display port mirrors the four Windows calls it makes. UI
// thread only.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/window_system.h"

// DISPLAY_DEVICE state flags the discovery tests.
constexpr std::uint32_t kDisplayAttachedOrActive = 0x1;  // adapter: attached to desktop; monitor: active
constexpr std::uint32_t kDisplayPrimary = 0x4;
constexpr std::uint32_t kDisplayMirroring = 0x8;

constexpr std::int32_t kEnumCurrentSettings = -1;
constexpr std::int32_t kEnumRegistrySettings = -2;

struct DisplayDevice {
  std::string device_name;    // up to 32 characters, e.g. "\\.\DISPLAY1"
  std::string device_string;  // up to 128 characters, may hold NULs
  std::uint32_t state_flags = 0;
};

struct DisplayMode {
  std::int32_t position_x = 0, position_y = 0;
  std::uint32_t pels_width = 0, pels_height = 0;
};

class DisplayPort {
 public:
  virtual ~DisplayPort() = default;
  // EnumDisplayDevicesA(device, index, &dd, 0): adapters when device is null,
  // else the monitors of that adapter. False when there is no such entry.
  virtual bool EnumDisplayDevicesA(const std::string* device, std::uint32_t index, DisplayDevice* out) = 0;
  // EnumDisplaySettingsExA(device, mode, &dm, 0).
  virtual bool EnumDisplaySettingsExA(const std::string& device, std::int32_t mode, DisplayMode* out) = 0;
  // MonitorFromPoint(pt, MONITOR_DEFAULTTONULL): 0 when no monitor holds the point.
  virtual std::uintptr_t MonitorFromPoint(std::int32_t x, std::int32_t y) = 0;
  // GetMonitorInfoA(monitor, &mi).rcWork.
  virtual bool GetMonitorWorkArea(std::uintptr_t monitor, WindowRect* work) = 0;
};

std::unique_ptr<DisplayPort> CreatePlatformDisplay();

struct MonitorRecord {
  std::string name;  // "<display number>. <monitor> on <adapter>"
  bool is_primary = false;
  std::int16_t width = 0, height = 0;
  std::int16_t left = 0, top = 0, right = 0, bottom = 0;
  std::int16_t work_left = 0, work_top = 0, work_right = 0, work_bottom = 0;
};

// Fills monitors[1..count] (index 0 unused; left untouched when count is 0)
// and returns count.
std::int16_t EnumerateMonitors(DisplayPort& display, std::vector<MonitorRecord>& monitors);

// The text with every NUL character removed.
std::string StripNulls(const std::string& text);
