// Linux backend of the monitor list. Every XRandR output is shaped as one
// display adapter (described by the output's name) with at
// most one monitor (named from its EDID), so monitor discovery runs the same
// algorithm as on Windows:
//   adapter attached to the desktop  = the output drives a CRTC with a mode
//   adapter primary                  = the RandR primary output (else the one at 0,0)
//   adapter mirroring                = the output shows a CRTC or rectangle that an
//                                      earlier output already shows (a clone)
//   monitor active                   = the output is connected and driven
//   current mode / stored mode       = the CRTC's rectangle / the preferred mode
// Positions and sizes are physical pixels, as the saver windows are placed.
// Without XRandR 1.3 (or on a non-X display) GDK's monitors stand in, one
// adapter each.
#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "startup/edid.h"
#include "startup/monitors.h"

namespace {

// What one output looks like, read once per enumeration.
struct Output {
  std::string output_name;   // the adapter's description, e.g. "HDMI-1"
  std::string monitor_name;  // EDID name; empty when unknown
  bool connected = false;
  bool attached = false;
  bool primary = false;
  bool mirror = false;
  WindowRect rect;  // current CRTC rectangle (attached outputs)
  bool has_preferred = false;
  unsigned preferred_width = 0, preferred_height = 0;
};

template <typename T, void (*Free)(T*)>
struct XFreer {
  void operator()(T* p) const {
    if (p) Free(p);
  }
};
using ScreenResources = std::unique_ptr<XRRScreenResources, XFreer<XRRScreenResources, XRRFreeScreenResources>>;
using OutputInfo = std::unique_ptr<XRROutputInfo, XFreer<XRROutputInfo, XRRFreeOutputInfo>>;
using CrtcInfo = std::unique_ptr<XRRCrtcInfo, XFreer<XRRCrtcInfo, XRRFreeCrtcInfo>>;

std::string EdidMonitorName(Display* x, RROutput output) {
  Atom edid = XInternAtom(x, RR_PROPERTY_RANDR_EDID, True);
  if (edid == None) return {};
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string name;
  if (XRRGetOutputProperty(x, output, edid, 0, 256, False, False, AnyPropertyType, &type, &format, &count, &after,
                           &data) == Success &&
      format == 8 && data)
    name = MonitorNameFromEdid(data, count);
  if (data) XFree(data);
  return name;
}

void ReadPreferredMode(const XRRScreenResources& res, const XRROutputInfo& info, Output* out) {
  if (info.npreferred < 1 || info.nmode < 1) return;
  for (int m = 0; m < res.nmode; ++m) {
    if (res.modes[m].id != info.modes[0]) continue;
    out->has_preferred = true;
    out->preferred_width = res.modes[m].width;
    out->preferred_height = res.modes[m].height;
    return;
  }
}

bool SameRect(const WindowRect& a, const WindowRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Marks clones and settles the primary output.
void FinishOutputs(std::vector<Output>& outputs, const std::vector<RRCrtc>& crtcs, RROutput primary_id,
                   const std::vector<RROutput>& ids) {
  int primary = -1;
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    if (!outputs[i].attached) continue;
    for (std::size_t j = 0; j < i; ++j)
      if (outputs[j].attached && !outputs[j].mirror &&
          (crtcs[j] == crtcs[i] || SameRect(outputs[j].rect, outputs[i].rect)))
        outputs[i].mirror = true;
    if (outputs[i].mirror) continue;
    if (ids[i] == primary_id) primary = static_cast<int>(i);
  }
  // No primary output set (common without a desktop environment): the one
  // at the origin, where Windows always puts its primary monitor.
  for (std::size_t i = 0; primary < 0 && i < outputs.size(); ++i)
    if (outputs[i].attached && !outputs[i].mirror && outputs[i].rect.left == 0 && outputs[i].rect.top == 0)
      primary = static_cast<int>(i);
  for (std::size_t i = 0; primary < 0 && i < outputs.size(); ++i)
    if (outputs[i].attached && !outputs[i].mirror) primary = static_cast<int>(i);
  if (primary >= 0) outputs[primary].primary = true;
}

// The outputs of the X screen, in RandR order; empty when RandR 1.3 is missing.
std::vector<Output> ReadRandrOutputs(Display* x) {
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  if (!XRRQueryExtension(x, &event_base, &error_base) || !XRRQueryVersion(x, &major, &minor) || major < 1 ||
      (major == 1 && minor < 3))
    return {};
  Window root = DefaultRootWindow(x);
  ScreenResources res(XRRGetScreenResourcesCurrent(x, root));
  if (!res) return {};
  std::vector<Output> outputs;
  std::vector<RRCrtc> crtcs;
  std::vector<RROutput> ids;
  for (int i = 0; i < res->noutput; ++i) {
    OutputInfo info(XRRGetOutputInfo(x, res.get(), res->outputs[i]));
    if (!info) continue;
    Output out;
    out.output_name.assign(info->name, static_cast<std::size_t>(info->nameLen));
    out.connected = info->connection == RR_Connected;
    if (info->crtc != None) {
      CrtcInfo crtc(XRRGetCrtcInfo(x, res.get(), info->crtc));
      if (crtc && crtc->mode != None && crtc->width > 0 && crtc->height > 0) {
        out.attached = true;
        out.rect = WindowRect{crtc->x, crtc->y, crtc->x + static_cast<int>(crtc->width),
                              crtc->y + static_cast<int>(crtc->height)};
      }
    }
    if (out.connected) out.monitor_name = EdidMonitorName(x, res->outputs[i]);
    ReadPreferredMode(*res, *info, &out);
    outputs.push_back(out);
    crtcs.push_back(info->crtc);
    ids.push_back(res->outputs[i]);
  }
  FinishOutputs(outputs, crtcs, XRRGetOutputPrimary(x, root), ids);
  bool any_attached = false;
  for (const Output& o : outputs) any_attached = any_attached || o.attached;
  if (!any_attached) return {};  // a server that reports no usable CRTC: let GDK decide
  return outputs;
}

// GDK's monitors (Xinerama, a plain screen, or Wayland) as outputs.
std::vector<Output> ReadGdkMonitors(GdkDisplay* display) {
  std::vector<Output> outputs;
  if (!display) return outputs;
  for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
    GdkMonitor* monitor = gdk_display_get_monitor(display, i);
    GdkRectangle r;
    gdk_monitor_get_geometry(monitor, &r);
    int scale = gdk_monitor_get_scale_factor(monitor);
    const char* model = gdk_monitor_get_model(monitor);
    Output out;
    out.output_name = model && *model ? model : "X11 screen";
    out.connected = out.attached = true;
    out.primary = gdk_monitor_is_primary(monitor);
    out.rect = WindowRect{r.x * scale, r.y * scale, (r.x + r.width) * scale, (r.y + r.height) * scale};
    outputs.push_back(out);
  }
  return outputs;
}

class GtkMonitorList final : public MonitorList {
 public:
  // Each XRandR output is an adapter with at most one monitor, the display
  // it drives.
  std::vector<DisplayAdapter> Adapters() override {
    Refresh();
    std::vector<DisplayAdapter> adapters;
    for (const Output& o : outputs_) {
      DisplayAdapter& adapter = adapters.emplace_back();
      adapter.description = o.output_name;
      adapter.attached = o.attached;
      adapter.primary = o.primary;
      adapter.mirroring = o.mirror;
      if (o.connected) adapter.monitors.push_back({o.monitor_name, o.attached});
      if (o.attached)
        adapter.current_mode =
            DisplayMode{o.rect.left, o.rect.top, static_cast<std::uint32_t>(o.rect.right - o.rect.left),
                        static_cast<std::uint32_t>(o.rect.bottom - o.rect.top)};
      if (o.has_preferred) adapter.stored_mode = DisplayMode{0, 0, o.preferred_width, o.preferred_height};
    }
    return adapters;
  }

  // The monitor's rectangle less what the desktop reserves (panels), as GDK
  // reads it from the window manager's hints.
  std::optional<WindowRect> WorkAreaAt(std::int32_t x, std::int32_t y) override {
    const Output* held = nullptr;
    for (const Output& o : outputs_)
      if (o.attached && x >= o.rect.left && x < o.rect.right && y >= o.rect.top && y < o.rect.bottom) held = &o;
    if (!held) return std::nullopt;
    const WindowRect& r = held->rect;
    GdkDisplay* display = gdk_display_get_default();
    if (!display) return r;
    int scale = 1;
    if (GdkMonitor* any = gdk_display_get_monitor(display, 0)) scale = std::max(1, gdk_monitor_get_scale_factor(any));
    GdkMonitor* monitor =
        gdk_display_get_monitor_at_point(display, (r.left + r.right) / 2 / scale, (r.top + r.bottom) / 2 / scale);
    if (!monitor) return r;
    GdkRectangle a;
    gdk_monitor_get_workarea(monitor, &a);
    WindowRect area{a.x * scale, a.y * scale, (a.x + a.width) * scale, (a.y + a.height) * scale};
    WindowRect both{std::max(r.left, area.left), std::max(r.top, area.top), std::min(r.right, area.right),
                    std::min(r.bottom, area.bottom)};
    return both.left < both.right && both.top < both.bottom ? both : r;
  }

 private:
  void Refresh() {
    outputs_.clear();
    GdkDisplay* display = gdk_display_get_default();
    if (display && GDK_IS_X11_DISPLAY(display)) {
      // Outputs can vanish between two requests (a cable pulled): an X error
      // then must not end the program.
      gdk_x11_display_error_trap_push(display);
      outputs_ = ReadRandrOutputs(GDK_DISPLAY_XDISPLAY(display));
      if (gdk_x11_display_error_trap_pop(display) != 0) outputs_.clear();
    }
    if (outputs_.empty()) outputs_ = ReadGdkMonitors(display);
  }

  std::vector<Output> outputs_;
};

}  // namespace

std::unique_ptr<MonitorList> CreatePlatformMonitorList() { return std::make_unique<GtkMonitorList>(); }
