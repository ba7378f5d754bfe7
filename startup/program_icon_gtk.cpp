#include "startup/program_icon_gtk.h"

#include <gtk/gtk.h>

#include <string>

// Made by glib-compile-resources from the PNGs rendered at build time
// (startup/CMakeLists.txt).
extern "C" void glimmora_icons_register_resource(void);

namespace {
constexpr int kIconSizes[] = {16, 32, 48, 128};
}  // namespace

void SetProgramIcon() {
  static const bool registered = (glimmora_icons_register_resource(), true);
  (void)registered;
  GList* icons = nullptr;
  for (int size : kIconSizes) {
    const std::string path = "/org/glimmora/icons/" + std::to_string(size) + ".png";
    if (GdkPixbuf* icon = gdk_pixbuf_new_from_resource(path.c_str(), nullptr)) icons = g_list_append(icons, icon);
  }
  gtk_window_set_default_icon_list(icons);
  g_list_free_full(icons, g_object_unref);
}
