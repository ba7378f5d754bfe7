// GTK backend of the options dialog (Linux).
// Implemented: [x] the window: caption, owner, placement, close box
// Missing:     [ ] the controls
#include "options/options_window_gtk.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include "options/options_dialog.h"

namespace {

// The dialog's client area at open, in twips, at 15 twips per pixel (96 dpi).
constexpr int kClientWidth = 4980 / 15;
constexpr int kClientHeight = 7950 / 15;

class GtkOptionsWindow final : public OptionsWindow {
 public:
  explicit GtkOptionsWindow(OptionsDialog& dialog) : dialog_(dialog) {
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    g_object_ref_sink(window_);
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
    gtk_widget_set_size_request(window_, kClientWidth, kClientHeight);
    g_signal_connect(window_, "delete-event", G_CALLBACK(&GtkOptionsWindow::OnDelete), this);
    gtk_widget_realize(window_);
  }
  ~GtkOptionsWindow() override {
    gtk_widget_destroy(window_);
    g_object_unref(window_);
  }

  WindowHandle Handle() const override {
    GdkWindow* w = gtk_widget_get_window(window_);
    return w ? static_cast<WindowHandle>(gdk_x11_window_get_xid(w)) : 0;
  }
  void SetCaption(const std::string& caption) override { gtk_window_set_title(GTK_WINDOW(window_), caption.c_str()); }
  void SetOwner(WindowHandle owner) override {
    GdkWindow* self = gtk_widget_get_window(window_);
    GdkDisplay* display = gdk_window_get_display(self);
    gdk_x11_display_error_trap_push(display);
    XSetTransientForHint(GDK_WINDOW_XDISPLAY(self), gdk_x11_window_get_xid(self), static_cast<Window>(owner));
    gdk_x11_display_error_trap_pop_ignored(display);
  }
  void MoveTo(int x, int y) override { gtk_window_move(GTK_WINDOW(window_), x, y); }
  int OuterWidth() const override { return kClientWidth; }
  int OuterHeight() const override { return kClientHeight; }
  void Show() override { gtk_widget_show_all(window_); }
  PictureBox* picSaver() override { return nullptr; }
  // First cut: the controls are not built yet, so there is nothing to update.
  void ControlChanged(ControlId, unsigned) override {}
  void SetClientSize(int, int) override {}
  void FocusControl(ControlId) override {}

 private:
  static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    static_cast<GtkOptionsWindow*>(data)->dialog_.Form_Unload();
    return TRUE;
  }

  OptionsDialog& dialog_;
  GtkWidget* window_;
};

}  // namespace

std::unique_ptr<OptionsWindow> CreateGtkOptionsWindow(OptionsDialog& dialog) {
  return std::make_unique<GtkOptionsWindow>(dialog);
}
