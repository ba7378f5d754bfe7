#include "startup/monitors.h"

#include <algorithm>

namespace {

// The fields keep the low 16 bits of what the system reports: positions and
// sizes beyond -32768..32767 wrap instead of failing.
std::int16_t Low16(std::int64_t value) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF)); }

// The adapter's first active monitor, or the last one listed when none is
// active; none when the adapter lists no monitor at all.
const DisplayMonitor* FindMonitor(const DisplayAdapter& adapter) {
  const DisplayMonitor* monitor = nullptr;
  for (const DisplayMonitor& candidate : adapter.monitors) {
    monitor = &candidate;
    if (candidate.active) break;
  }
  return monitor;
}

}  // namespace

std::string StripNulls(const std::string& text) {
  std::string result = text;
  result.erase(std::remove(result.begin(), result.end(), '\0'), result.end());
  return result;
}

std::int16_t EnumerateMonitors(MonitorList& display, std::vector<MonitorRecord>& monitors) {
  std::int16_t count = 0;
  int display_number = 1;
  WindowRect work;  // kept from the previous query when a lookup finds nothing
  for (const DisplayAdapter& adapter : display.Adapters()) {
    if (adapter.mirroring) continue;

    const DisplayMonitor* monitor = FindMonitor(adapter);
    std::string monitor_name = monitor ? StripNulls(monitor->description) : "";
    if (monitor_name.empty() && !adapter.monitors.empty()) monitor_name = StripNulls(adapter.monitors[0].description);
    if (monitor_name.empty()) monitor_name = "Default Monitor";

    const DisplayMode mode = adapter.current_mode.value_or(adapter.stored_mode.value_or(DisplayMode{}));
    if (adapter.attached) {
      if (std::optional<WindowRect> area = display.WorkAreaAt(mode.left, mode.top)) work = *area;

      // The list holds exactly indexes 1..count (plus the unused 0) afterwards,
      // whatever the caller passed in.
      ++count;
      monitors.resize(static_cast<std::size_t>(count) + 1);
      MonitorRecord& r = monitors[count];
      r.name = std::to_string(display_number) + ". " + monitor_name + " on " + StripNulls(adapter.description);
      r.is_primary = adapter.primary;
      r.width = Low16(mode.width);
      r.height = Low16(mode.height);
      r.left = Low16(mode.left);
      r.top = Low16(mode.top);
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
