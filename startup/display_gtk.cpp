// GTK backend of the display port (Linux): every GdkMonitor is shaped as one
// adapter with one active monitor, so the discovery algorithm runs unchanged.
// Implemented: [x] adapters, monitors, current mode, work area
#include <gtk/gtk.h>

#include <string>

#include "startup/monitors.h"

namespace {

class GtkDisplay final : public DisplayPort {
 public:
  bool EnumDisplayDevicesA(const std::string* device, std::uint32_t index, DisplayDevice* out) override {
    if (device == nullptr) {
      GdkMonitor* monitor = MonitorAt(static_cast<int>(index));
      if (!monitor) return false;
      out->DeviceName = AdapterName(static_cast<int>(index));
      out->DeviceString = "X11 screen";
      out->StateFlags = kDisplayAttachedOrActive | (gdk_monitor_is_primary(monitor) ? kDisplayPrimary : 0);
      return true;
    }
    int adapter = AdapterIndex(*device);
    GdkMonitor* monitor = MonitorAt(adapter);
    if (!monitor || index != 0) return false;
    const char* model = gdk_monitor_get_model(monitor);
    out->DeviceName = *device + "\\Monitor0";
    out->DeviceString = model ? model : "";
    out->StateFlags = kDisplayAttachedOrActive;
    return true;
  }

  bool EnumDisplaySettingsExA(const std::string& device, std::int32_t, DisplayMode* out) override {
    GdkMonitor* monitor = MonitorAt(AdapterIndex(device));
    if (!monitor) return false;
    GdkRectangle r;
    gdk_monitor_get_geometry(monitor, &r);
    int scale = gdk_monitor_get_scale_factor(monitor);
    out->PositionX = r.x * scale;
    out->PositionY = r.y * scale;
    out->PelsWidth = static_cast<std::uint32_t>(r.width * scale);
    out->PelsHeight = static_cast<std::uint32_t>(r.height * scale);
    return true;
  }

  std::uintptr_t MonitorFromPoint(std::int32_t x, std::int32_t y) override {
    GdkDisplay* display = gdk_display_get_default();
    if (!display) return 0;
    for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
      GdkRectangle r;
      gdk_monitor_get_geometry(gdk_display_get_monitor(display, i), &r);
      if (x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height) return static_cast<std::uintptr_t>(i + 1);
    }
    return 0;
  }

  bool GetMonitorWorkArea(std::uintptr_t handle, WindowRect* work) override {
    GdkMonitor* monitor = MonitorAt(static_cast<int>(handle) - 1);
    if (!monitor) return false;
    GdkRectangle r;
    gdk_monitor_get_workarea(monitor, &r);
    *work = WindowRect{r.x, r.y, r.x + r.width, r.y + r.height};
    return true;
  }

 private:
  static GdkMonitor* MonitorAt(int index) {
    GdkDisplay* display = gdk_display_get_default();
    if (!display || index < 0 || index >= gdk_display_get_n_monitors(display)) return nullptr;
    return gdk_display_get_monitor(display, index);
  }
  static std::string AdapterName(int index) { return "\\\\.\\DISPLAY" + std::to_string(index + 1); }
  static int AdapterIndex(const std::string& name) {
    const std::string prefix = "\\\\.\\DISPLAY";
    if (name.compare(0, prefix.size(), prefix) != 0) return -1;
    return std::atoi(name.c_str() + prefix.size()) - 1;
  }
};

}  // namespace

std::unique_ptr<DisplayPort> CreatePlatformDisplay() { return std::make_unique<GtkDisplay>(); }
