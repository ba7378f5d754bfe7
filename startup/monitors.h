#pragma once
// Monitor discovery: the monitors attached to the desktop, in adapter order,
// with their rectangles in virtual-desktop coordinates. The algorithm is
// portable; the monitor list port tells it what the system has. UI thread
// only.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/window_system.h"

// A display adapter as the system lists it, with its monitors and display
// modes. Descriptions are kept whole, NULs included: removing them is the
// discovery's business (StripNulls).
struct DisplayMonitor {
  std::string description;
  bool active = false;
};

struct DisplayMode {
  std::int32_t left = 0, top = 0;
  std::uint32_t width = 0, height = 0;
};

struct DisplayAdapter {
  std::string description;
  bool attached = false;   // part of the desktop
  bool primary = false;    // carries the primary desktop
  bool mirroring = false;  // a mirroring driver, not a display of its own
  std::vector<DisplayMonitor> monitors;
  std::optional<DisplayMode> current_mode, stored_mode;
};

// Monitor list port: the adapters in the system's order, and the work areas.
// Windows: display_win.cpp. Linux: display_gtk.cpp (XRandR outputs as
// adapters). Tests: FakeDisplay.
class MonitorList {
 public:
  virtual ~MonitorList() = default;
  // Read afresh on every call: displays switched since the last call are seen.
  virtual std::vector<DisplayAdapter> Adapters() = 0;
  // The work area (the desktop less task bars and panels) of the monitor
  // that holds the point; none when no monitor holds it.
  virtual std::optional<WindowRect> WorkAreaAt(std::int32_t x, std::int32_t y) = 0;
};

std::unique_ptr<MonitorList> CreatePlatformMonitorList();

struct MonitorRecord {
  std::string name;  // "<display number>. <monitor> on <adapter>"
  bool is_primary = false;
  std::int16_t width = 0, height = 0;
  std::int16_t left = 0, top = 0, right = 0, bottom = 0;
  std::int16_t work_left = 0, work_top = 0, work_right = 0, work_bottom = 0;
};

// Fills monitors[1..count] (index 0 unused; left untouched when count is 0)
// and returns count.
std::int16_t EnumerateMonitors(MonitorList& display, std::vector<MonitorRecord>& monitors);

// The text with every NUL character removed.
std::string StripNulls(const std::string& text);
