// GTK backend of the system port (Linux).
// X has no "screen saver running" flag to set, so that call does nothing.
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "platform/gtk_cursor.h"
#include "platform/system.h"

namespace {

// Process-wide like the Windows cursor counter it mirrors.
int g_cursor_counter = 0;

// The program's window the user works in: the active one, else a modal
// one (a box open over the dialog), else any shown; null when none is.
GtkWindow* WindowInUse() {
  GtkWindow* found = nullptr;
  int found_rank = 0;
  GList* windows = gtk_window_list_toplevels();
  for (GList* w = windows; w; w = w->next) {
    GtkWindow* window = GTK_WINDOW(w->data);
    if (gtk_window_get_window_type(window) != GTK_WINDOW_TOPLEVEL || !gtk_widget_get_visible(GTK_WIDGET(window)))
      continue;
    const int rank = gtk_window_is_active(window) ? 3 : gtk_window_get_modal(window) ? 2 : 1;
    if (rank > found_rank) found = window, found_rank = rank;
  }
  g_list_free(windows);
  return found;
}

class GtkSystem final : public SystemPort {
 public:
  std::int32_t TickCount() override {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(g_get_monotonic_time() / 1000));
  }

  double SecondsSinceMidnight() override {
    gint64 now_us = g_get_real_time();
    std::time_t now = static_cast<std::time_t>(now_us / 1000000);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + (now_us % 1000000) / 1e6;
  }

  // Over the window that raised it, which it belongs to: the window manager
  // keeps it there and the desktop shows the two as one.
  void ShowMessage(const std::string& text, const std::string& title, MessageBoxStyle style) override {
    const bool critical = style == MessageBoxStyle::Critical;
    GtkWindow* owner = WindowInUse();
    GtkWidget* dialog =
        gtk_message_dialog_new(owner, GTK_DIALOG_MODAL, critical ? GTK_MESSAGE_ERROR : GTK_MESSAGE_WARNING,
                               GTK_BUTTONS_OK, "%s", text.c_str());
    // GTK 3 no longer draws the icon of the message's type by itself.
    GtkWidget* icon = gtk_image_new_from_icon_name(critical ? "dialog-error" : "dialog-warning", GTK_ICON_SIZE_DIALOG);
    gtk_widget_show(icon);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_message_dialog_set_image(GTK_MESSAGE_DIALOG(dialog), icon);
    G_GNUC_END_IGNORE_DEPRECATIONS
    const char* shown_title = title.empty() ? g_get_prgname() : title.c_str();
    gtk_window_set_title(GTK_WINDOW(dialog), shown_title ? shown_title : "");
    gtk_window_set_position(GTK_WINDOW(dialog), owner ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    while (gtk_events_pending()) gtk_main_iteration();
  }

  void ShowCursor(bool show) override { GtkShowCursor(show); }

  void SetScreenSaverRunning(bool) override {}

  [[noreturn]] void EndProcess(int exit_code) override {
    if (GdkDisplay* display = gdk_display_get_default()) gdk_display_flush(display);
    std::fflush(nullptr);
    _exit(exit_code);
  }
};

}  // namespace

void GtkShowCursor(bool show) {
  g_cursor_counter += show ? 1 : -1;
  GdkDisplay* display = gdk_display_get_default();
  if (!display) return;
  // A window inside another client's window (a preview, a daemon's hack)
  // may already be gone with it, as the saver ends.
  const bool x11 = GDK_IS_X11_DISPLAY(display);
  if (x11) gdk_x11_display_error_trap_push(display);
  if (GdkScreen* screen = gdk_screen_get_default()) {
    GList* windows = gdk_screen_get_toplevel_windows(screen);
    for (GList* w = windows; w; w = w->next) GtkApplyCursor(GDK_WINDOW(w->data));
    g_list_free(windows);
  }
  gdk_display_flush(display);
  if (x11) gdk_x11_display_error_trap_pop_ignored(display);
}

void GtkApplyCursor(GdkWindow* gdk_window) {
  if (!gdk_window || gdk_window_is_destroyed(gdk_window)) return;
  if (g_cursor_counter >= 0) {
    gdk_window_set_cursor(gdk_window, nullptr);
    return;
  }
  GdkCursor* blank = gdk_cursor_new_for_display(gdk_window_get_display(gdk_window), GDK_BLANK_CURSOR);
  gdk_window_set_cursor(gdk_window, blank);
  g_object_unref(blank);
}

std::unique_ptr<SystemPort> CreatePlatformSystem() { return std::make_unique<GtkSystem>(); }
