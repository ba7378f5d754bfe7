// Linux backend of the monitor-power port, over the X DPMS extension.
// Monitors off is DPMSForceLevel(DPMSModeOff), enabling DPMS first when it is
// off, once no key is held (the server wakes the monitors at any input).
// Power changes come from polling DPMSInfo. Without DPMS (Wayland, virtual
// servers) nothing is switched and nothing reported.
#include "saver/power_gtk.h"

#include <gdk/gdkx.h>
#include <glib.h>
// Xlib.h (through gdkx.h) must come before the DPMS header.
#include <X11/extensions/dpms.h>

#include <optional>

namespace {

// How often the keyboard is looked at while a switch-off waits for the keys
// to be released, and how long it waits at most.
constexpr unsigned kKeyCheckMs = 50;
constexpr unsigned kMaxKeyWaitMs = 3000;
// How often the level is read in the program.
constexpr unsigned kPollMs = 1000;

class XDpmsDisplay final : public DpmsDisplay {
 public:
  bool Available() override {
    if (!checked_) {
      checked_ = true;
      Display* x = XDisplay();
      int event_base = 0, error_base = 0;
      available_ = x && DPMSQueryExtension(x, &event_base, &error_base) && DPMSCapable(x);
    }
    return available_;
  }

  bool Query(DpmsLevel* level, bool* enabled) override {
    Display* x = XDisplay();
    if (!x) return false;
    CARD16 state = DPMSModeOn;
    BOOL on = False;
    if (!DPMSInfo(x, &state, &on)) return false;
    *enabled = on != False;
    switch (state) {
      case DPMSModeStandby: *level = DpmsLevel::kStandby; break;
      case DPMSModeSuspend: *level = DpmsLevel::kSuspend; break;
      case DPMSModeOff: *level = DpmsLevel::kOff; break;
      default: *level = DpmsLevel::kOn; break;
    }
    return true;
  }

  void Enable() override {
    Trapped([](Display* x) { DPMSEnable(x); });
  }
  void Disable() override {
    Trapped([](Display* x) { DPMSDisable(x); });
  }
  void ForceOff() override {
    Trapped([](Display* x) { DPMSForceLevel(x, DPMSModeOff); });
  }

  bool AnyKeyDown() override {
    Display* x = XDisplay();
    if (!x) return false;
    char keys[32] = {};
    XQueryKeymap(x, keys);
    for (char byte : keys)
      if (byte != 0) return true;
    return false;
  }

 private:
  static Display* XDisplay() {
    GdkDisplay* display = gdk_display_get_default();
    if (!display || !GDK_IS_X11_DISPLAY(display)) return nullptr;
    return GDK_DISPLAY_XDISPLAY(display);
  }

  // A request the server refuses (DPMS switched off under us) must not end
  // the program through GDK's handler of unexpected X errors.
  template <typename Request>
  static void Trapped(Request request) {
    Display* x = XDisplay();
    if (!x) return;
    GdkDisplay* display = gdk_display_get_default();
    gdk_x11_display_error_trap_push(display);
    request(x);
    XSync(x, False);
    gdk_x11_display_error_trap_pop_ignored(display);
  }

  bool checked_ = false;
  bool available_ = false;
};

class DpmsPowerPort final : public PowerPort {
 public:
  DpmsPowerPort(std::unique_ptr<DpmsDisplay> display, unsigned poll_ms)
      : display_(std::move(display)), poll_ms_(poll_ms) {}
  ~DpmsPowerPort() override {
    Remove(poll_source_);
    Remove(off_source_);
  }

  // The server wakes the monitors at any input, the release of the key that
  // asked for the switch-off included: switch off once no key is held.
  void TurnMonitorsOff() override {
    if (!display_->Available() || off_source_ != 0) return;
    if (!display_->AnyKeyDown()) {
      ForceOff();
      return;
    }
    waited_ms_ = 0;
    off_source_ = g_timeout_add(kKeyCheckMs, &DpmsPowerPort::OnKeyCheck, this);
  }

  // The user's choice of no power management outlives the saver.
  void RestoreSystemSettings() override {
    if (enabled_dpms_) display_->Disable();
    enabled_dpms_ = false;
  }

  void WatchMonitorPower(MonitorPowerReport report) override {
    Remove(poll_source_);
    report_ = std::move(report);
    if (!report_ || !display_->Available()) return;
    last_ = ReadLevel();
    poll_source_ = g_timeout_add(poll_ms_, &DpmsPowerPort::OnPoll, this);
  }

 private:
  static void Remove(guint& source) {
    if (source != 0) g_source_remove(source);
    source = 0;
  }

  std::optional<DpmsLevel> ReadLevel(bool* enabled = nullptr) {
    DpmsLevel level = DpmsLevel::kOn;
    bool on = false;
    if (!display_->Query(&level, &on)) return std::nullopt;
    if (enabled) *enabled = on;
    return level;
  }

  // DPMSForceLevel is refused while DPMS is disabled; as `xset dpms force
  // off` does, it is enabled first. The change is reported at once, as the
  // Windows broadcast reaches the hidden window before it returns.
  void ForceOff() {
    bool enabled = true;
    if (ReadLevel(&enabled) && !enabled) {
      display_->Enable();
      enabled_dpms_ = true;
    }
    display_->ForceOff();
    Poll();
  }

  void Poll() {
    if (!report_) return;
    std::optional<DpmsLevel> level = ReadLevel();
    if (!level || level == last_) return;
    last_ = level;
    report_(MonitorPowerOf(*level));
  }

  static gboolean OnPoll(gpointer data) {
    static_cast<DpmsPowerPort*>(data)->Poll();
    return G_SOURCE_CONTINUE;
  }

  static gboolean OnKeyCheck(gpointer data) {
    auto* self = static_cast<DpmsPowerPort*>(data);
    self->waited_ms_ += kKeyCheckMs;
    if (self->display_->AnyKeyDown() && self->waited_ms_ < kMaxKeyWaitMs) return G_SOURCE_CONTINUE;
    self->off_source_ = 0;
    self->ForceOff();
    return G_SOURCE_REMOVE;
  }

  std::unique_ptr<DpmsDisplay> display_;
  unsigned poll_ms_;
  MonitorPowerReport report_;
  std::optional<DpmsLevel> last_;
  guint poll_source_ = 0;
  guint off_source_ = 0;
  unsigned waited_ms_ = 0;
  bool enabled_dpms_ = false;  // DPMS was off until a switch-off enabled it
};

}  // namespace

int MonitorPowerOf(DpmsLevel level) {
  switch (level) {
    case DpmsLevel::kOn: return kMonitorPowerOn;
    case DpmsLevel::kStandby:
    case DpmsLevel::kSuspend: return kMonitorPowerLow;
    case DpmsLevel::kOff: break;
  }
  return kMonitorPowerOff;
}

std::unique_ptr<DpmsDisplay> CreateXDpmsDisplay() { return std::make_unique<XDpmsDisplay>(); }

std::unique_ptr<PowerPort> CreateDpmsPower(std::unique_ptr<DpmsDisplay> display, unsigned poll_ms) {
  return std::make_unique<DpmsPowerPort>(std::move(display), poll_ms);
}

std::unique_ptr<PowerPort> CreatePlatformPower() { return CreateDpmsPower(CreateXDpmsDisplay(), kPollMs); }
