// GTK backend of the dialog services (Linux): an input dialog of our own,
// the GTK folder chooser and colour chooser, and the desktop's default
// handler for links. Each dialog is modal over its owner: transient for it
// when the owner is one of our windows, else by the X hint.
#include <gdk/gdkx.h>
#include <gio/gio.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <array>

#include "options/color_gtk.h"
#include "options/dialog_services.h"
#include "options/widget_text_gtk.h"

namespace {

// Our own GTK window behind an X window id; null for anybody else's.
GtkWindow* OwnWindow(WindowHandle handle) {
  GdkDisplay* display = gdk_display_get_default();
  if (handle == 0 || !display || !GDK_IS_X11_DISPLAY(display)) return nullptr;
  GdkWindow* gdk_window = gdk_x11_window_lookup_for_display(GDK_X11_DISPLAY(display), static_cast<Window>(handle));
  if (!gdk_window) return nullptr;
  gpointer widget = nullptr;
  gdk_window_get_user_data(gdk_window, &widget);
  if (!widget || !GTK_IS_WIDGET(widget)) return nullptr;
  GtkWidget* top = gtk_widget_get_toplevel(GTK_WIDGET(widget));
  return GTK_IS_WINDOW(top) ? GTK_WINDOW(top) : nullptr;
}

void PlaceOver(GtkWidget* dialog, WindowHandle owner) {
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  if (GtkWindow* parent = OwnWindow(owner)) {
    gtk_window_set_transient_for(GTK_WINDOW(dialog), parent);
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER_ON_PARENT);
    return;
  }
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
  if (owner == 0) return;
  gtk_widget_realize(dialog);
  GdkWindow* self = gtk_widget_get_window(dialog);
  GdkDisplay* display = gdk_window_get_display(self);
  gdk_x11_display_error_trap_push(display);
  XSetTransientForHint(GDK_WINDOW_XDISPLAY(self), gdk_x11_window_get_xid(self), static_cast<Window>(owner));
  gdk_x11_display_error_trap_pop_ignored(display);
}

// A dialog that is on the screen while it runs, above a topmost owner too.
int Run(GtkWidget* dialog) {
  gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
  return gtk_dialog_run(GTK_DIALOG(dialog));
}

// ---- Colours --------------------------------------------------------------------

// The chooser's own palettes give way to ours: GTK drops its defaults as
// soon as one is added, and the kept custom colours must be one of them.
// Nine hues in three shades (a column each), then nine greys.
constexpr std::array<std::int32_t, 27> kBasicColors = {
    0x8080FF, 0x0000FF, 0x000080,  // red (0x00BBGGRR)
    0x80C0FF, 0x0080FF, 0x004080,  // orange
    0x80FFFF, 0x00FFFF, 0x008080,  // yellow
    0x80FF80, 0x00FF00, 0x008000,  // green
    0xFFFF80, 0xFFFF00, 0x808000,  // cyan
    0xFF8080, 0xFF0000, 0x800000,  // blue
    0xFF80C0, 0xFF0080, 0x800040,  // purple
    0xFF80FF, 0xFF00FF, 0x800080,  // magenta
    0xA0C0E0, 0x3060A0, 0x103060,  // brown
};
constexpr std::array<std::int32_t, 9> kGreys = {0xFFFFFF, 0xE0E0E0, 0xC0C0C0, 0xA0A0A0, 0x808080,
                                                0x606060, 0x404040, 0x202020, 0x000000};

template <std::size_t N>
void AddPalette(GtkColorChooser* chooser, const std::array<std::int32_t, N>& colors, GtkOrientation orientation,
                int per_line) {
  std::array<GdkRGBA, N> rgba;
  std::transform(colors.begin(), colors.end(), rgba.begin(), RgbaFromColor);
  gtk_color_chooser_add_palette(chooser, orientation, per_line, static_cast<gint>(N), rgba.data());
}

template <std::size_t N>
bool Holds(const std::array<std::int32_t, N>& colors, std::int32_t color) {
  return std::find(colors.begin(), colors.end(), color) != colors.end();
}

// ---- Links ----------------------------------------------------------------------

// A target without a scheme is taken for a file or folder.
std::string UriOf(const std::string& target) {
  if (gchar* scheme = g_uri_parse_scheme(target.c_str())) {
    g_free(scheme);
    return target;
  }
  GFile* file = g_file_new_for_commandline_arg(target.c_str());
  gchar* uri = g_file_get_uri(file);
  std::string result = uri ? uri : "";
  g_free(uri);
  g_object_unref(file);
  return result;
}

class GtkDialogServices final : public DialogServices {
 public:
  std::string InputBox(WindowHandle owner, const std::string& prompt, const std::string& title,
                       const std::string& default_text) override {
    GtkWidget* dialog = gtk_dialog_new_with_buttons(DisplayText(title).c_str(), nullptr, GTK_DIALOG_MODAL, "_Cancel",
                                                    GTK_RESPONSE_CANCEL, "_OK", GTK_RESPONSE_OK, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
    GtkWidget* label = gtk_label_new(LinesFromCarriageReturns(DisplayText(prompt)).c_str());
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_text(GTK_ENTRY(entry), DisplayText(default_text).c_str());
    gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
    gtk_entry_set_width_chars(GTK_ENTRY(entry), 48);
    GtkWidget* area = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
    gtk_container_set_border_width(GTK_CONTAINER(area), 12);
    gtk_box_set_spacing(GTK_BOX(area), 10);
    gtk_box_pack_start(GTK_BOX(area), label, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(area), entry, FALSE, FALSE, 0);
    gtk_widget_show_all(area);
    PlaceOver(dialog, owner);
    std::string typed;
    if (Run(dialog) == GTK_RESPONSE_OK) typed = gtk_entry_get_text(GTK_ENTRY(entry));
    gtk_widget_destroy(dialog);
    return typed;
  }

  std::string BrowseFolder(WindowHandle owner, const std::string& title) override {
    GtkWidget* dialog =
        gtk_file_chooser_dialog_new(DisplayText(title).c_str(), nullptr, GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER,
                                    "_Cancel", GTK_RESPONSE_CANCEL, "_Select", GTK_RESPONSE_ACCEPT, nullptr);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    gtk_file_chooser_set_local_only(chooser, TRUE);  // folders of the file system only
    gtk_file_chooser_set_current_folder(chooser, g_get_home_dir());
    PlaceOver(dialog, owner);
    std::string folder;
    if (Run(dialog) == GTK_RESPONSE_ACCEPT) {
      if (gchar* name = gtk_file_chooser_get_filename(chooser)) {
        folder = name;
        g_free(name);
      }
    }
    gtk_widget_destroy(dialog);
    return folder;
  }

  std::int32_t PickColor(WindowHandle owner, std::int32_t initial, CustomColors& custom) override {
    GtkWidget* dialog = gtk_color_chooser_dialog_new("Color", nullptr);
    GtkColorChooser* chooser = GTK_COLOR_CHOOSER(dialog);
    gtk_color_chooser_set_use_alpha(chooser, FALSE);
    AddPalette(chooser, kBasicColors, GTK_ORIENTATION_VERTICAL, 3);
    AddPalette(chooser, kGreys, GTK_ORIENTATION_HORIZONTAL, 9);
    AddPalette(chooser, custom, GTK_ORIENTATION_HORIZONTAL, 8);
    const GdkRGBA start = RgbaFromColor(initial);
    gtk_color_chooser_set_rgba(chooser, &start);
    PlaceOver(dialog, owner);
    std::int32_t chosen = kColorCancelled;
    if (Run(dialog) == GTK_RESPONSE_OK) {
      GdkRGBA rgba;
      gtk_color_chooser_get_rgba(chooser, &rgba);
      chosen = ColorFromRgba(rgba);
      // A colour of the user's own stays offered next time.
      if (!Holds(kBasicColors, chosen) && !Holds(kGreys, chosen)) RememberCustomColor(custom, chosen);
    }
    gtk_widget_destroy(dialog);
    return chosen;
  }

  bool OpenLink(const std::string& target) override {
    if (target.empty()) return false;
    const std::string uri = UriOf(target);
    GError* error = nullptr;
    const bool opened = !uri.empty() && g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error);
    if (error) g_error_free(error);
    return opened;
  }
};

}  // namespace

std::unique_ptr<DialogServices> CreatePlatformDialogServices() { return std::make_unique<GtkDialogServices>(); }
