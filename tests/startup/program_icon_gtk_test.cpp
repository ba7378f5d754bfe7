// The icon drawn into the program: every size it lists is there, square.
#include "startup/program_icon_gtk.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

namespace {

TEST(ProgramIcon, EveryWindowGetsTheIconInEachSize) {
  SetProgramIcon();
  GList* icons = gtk_window_get_default_icon_list();
  std::string sizes;
  for (GList* i = icons; i; i = i->next) {
    GdkPixbuf* icon = GDK_PIXBUF(i->data);
    sizes += std::to_string(gdk_pixbuf_get_width(icon)) + "x" + std::to_string(gdk_pixbuf_get_height(icon)) + " ";
  }
  g_list_free(icons);
  EXPECT_EQ(sizes, "16x16 32x32 48x48 128x128 ");
}

}  // namespace
