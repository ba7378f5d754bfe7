// GTK backend of the hidden window (Linux): X has no hidden window that
// receives power commands, so the hidden window is only a named object here.
// The power port reports DPMS changes straight to the power hook, as the
// command Windows would have sent this window.
#include "platform/hidden_window.h"

#include <glib.h>

namespace {

// The one procedure the window has before it is hooked.
constexpr std::uintptr_t kDefaultProc = 1;

class GtkHiddenWindow final : public HiddenWindow {
 public:
  WindowHandle Handle() const override { return 0; }
  // GLib takes the application name once per process; the timers start again
  // each time the options preview restarts.
  void SetCaption(const std::string& caption) override {
    const char* current = g_get_application_name();
    if (current == nullptr || current == g_get_prgname()) g_set_application_name(caption.c_str());
  }

  // Nothing ever sends this window a message, so the procedure has no one
  // to be called by; the default procedure it stands in for does nothing.
  std::uintptr_t InstallWindowProc(WindowProc) override { return kDefaultProc; }
  void RestoreWindowProc(std::uintptr_t) override {}
  std::intptr_t PassToWindowProc(std::uintptr_t, const WindowMessage&) override { return 0; }
};

}  // namespace

std::unique_ptr<HiddenWindow> CreatePlatformHiddenWindow() { return std::make_unique<GtkHiddenWindow>(); }
