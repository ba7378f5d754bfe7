// GTK backend of the engine window (Linux): X has no hidden window that
// receives power commands, so the engine window is only a named object here;
// the power state reaches the core through the power port.
#include "startup/engine_window_gtk.h"

#include <glib.h>

namespace {

class GtkEngineWindow final : public EngineWindow {
 public:
  WindowHandle Handle() const override { return 0; }
  void SetCaption(const std::string& caption) override { g_set_application_name(caption.c_str()); }
};

}  // namespace

std::unique_ptr<EngineWindow> CreateGtkEngineWindow() { return std::make_unique<GtkEngineWindow>(); }
