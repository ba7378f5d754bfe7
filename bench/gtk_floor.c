/* The floor of the first-picture benchmark: a bare GTK3 program that opens
 * one undecorated window over the screen and paints it red on its first
 * draw. Nothing a GTK program shows can come sooner. Built by
 * bench/first_picture_bench.sh. */
#include <gtk/gtk.h>
static gboolean draw(GtkWidget* w, cairo_t* cr, gpointer d) { cairo_set_source_rgb(cr, 1, 0, 0); cairo_paint(cr); return TRUE; }
int main(int argc, char** argv) {
  g_setenv("GDK_GL", "disable", FALSE);
  gtk_init(&argc, &argv);
  GtkWidget* win = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(win), 1280, 1024);
  gtk_window_move(GTK_WINDOW(win), 0, 0);
  gtk_window_set_decorated(GTK_WINDOW(win), FALSE);
  gtk_widget_set_app_paintable(win, TRUE);
  g_signal_connect(win, "draw", G_CALLBACK(draw), NULL);
  gtk_widget_show(win);
  gtk_main();
}
